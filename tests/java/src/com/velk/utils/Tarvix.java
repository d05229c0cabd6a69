package com.velk.utils;

/**
 * The machine's identity strings, its driver inventory and the library's version, as an
 * application declares them. Every method answers null (or false) when the answer cannot be had.
 */
public class Tarvix {
    static {
        System.loadLibrary("Tarvix");
    }

    /** Opens the connection the identity getters use; true when it is fully set up. */
    public native boolean Init();

    /** Closes the connection; the identity getters answer null afterwards. */
    public native void Uninit();

    public native String getBIOSLanguage();

    public native String getBIOSVersion();

    public native String getCSManufacturer();

    public native String getCSModel();

    /** One "hardwareId=driverVersion" entry per present device with a driver installed. */
    public native String[] getHadrwareId();

    public native String getMBManufacturer();

    public native String getMBProduct();

    public native String getMBSerialNumber();

    public native String getMBVersion();

    public native String getSMBIOSVersion();

    /** The library's version text. */
    public native String getVersion();
}
