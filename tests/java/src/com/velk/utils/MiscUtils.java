package com.velk.utils;

/** Probes of the Java runtime's registry key and of the root of drive C:. */
public class MiscUtils {
    static {
        System.loadLibrary("Tarvix");
    }

    /** True when C:\test.txt could be created (it is left in place, empty). */
    public native boolean createRootFile();

    /** The named value of the Java 1.6 runtime's registry key, or null. */
    public native String getJreVersionInfo(String name);
}
