package com.velk.utils.sim;

/** The simulated Windows machine under the host library: set up by tests, read by tests. */
public final class SimulatedWindows {
    static {
        System.loadLibrary("winsim");
    }

    private SimulatedWindows() {}

    /** A fresh machine: no registry keys, no files, nothing held, no output. */
    public static native void reset();

    public static native void setRegistryString(String keyPath, String name, String value);

    public static native void removeRegistryKey(String keyPath);

    /** A present device with a driver installed: its one hardware ID and its "DriverVersion". */
    public static native void addDeviceWithDriver(String hardwareId, String version);

    /** One property of the first instance of a WMI class; a null value is WMI's null. */
    public static native void setWmiProperty(String className, String property, String value);

    public static native void setWmiReachable(boolean reachable);

    public static native void denyWritesUnder(String folder);

    public static native boolean fileIsEmpty(String path);

    /** What the library wrote to standard output, decoded from UTF-8. */
    public static native String standardOutput();

    /** Forgets the call log and the requests and output recorded; the machine and what is held stay. */
    public static native void forgetHistory();

    /** Bytes of the process's C heap in use, over all allocator arenas (cached free memory not counted). */
    public static native long heapInUse();

    /** Resources not given back, or given back twice; empty when the ledger balances. */
    public static native String[] ledgerFaults();
}
