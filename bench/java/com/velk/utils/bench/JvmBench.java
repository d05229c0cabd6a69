package com.velk.utils.bench;

import com.velk.utils.Tarvix;
import com.velk.utils.sim.SimulatedWindows;
import java.util.Arrays;
import java.util.function.Supplier;

/**
 * The cost of one call from Java of getVersion, a getter and getHadrwareId (1,000 devices),
 * beside a trivial native that answers a constant string, in one JVM run over the simulated
 * machine. Prints one line per figure: "jvm", the name, then the median, lowest and highest
 * nanoseconds per call over the batches.
 */
public final class JvmBench {
    private static final int BATCHES = 15;

    private JvmBench() {}

    private static void measure(String name, int callsPerBatch, Supplier<Object> call) {
        Object sink = null;
        for (int i = 0; i < callsPerBatch * 3; i++) sink = call.get();  // warm: compiled before timing
        double[] perCall = new double[BATCHES];
        for (int b = 0; b < BATCHES; b++) {
            SimulatedWindows.forgetHistory();
            long start = System.nanoTime();
            for (int i = 0; i < callsPerBatch; i++) sink = call.get();
            perCall[b] = (System.nanoTime() - start) / (double) callsPerBatch;
        }
        if (sink == null) throw new IllegalStateException(name + " answered null");
        Arrays.sort(perCall);
        System.out.printf("jvm\t%s\t%.1f\t%.1f\t%.1f%n", name, perCall[BATCHES / 2], perCall[0], perCall[BATCHES - 1]);
    }

    public static void main(String[] args) {
        Tarvix tarvix = new Tarvix();
        SimulatedWindows.reset();
        SimulatedWindows.setWmiProperty("Win32_BIOS", "Version", "BIOS Version 2.17.1246");
        for (int i = 0; i < 1000; i++) SimulatedWindows.addDeviceWithDriver("PCI\\VEN_8086&DEV_" + i, "10.0.19041.1");

        measure("constant string (trivial native)", 20_000, Baseline::constant);
        measure("getVersion", 20_000, tarvix::getVersion);
        if (!tarvix.Init()) throw new IllegalStateException("Init failed");
        measure("getBIOSVersion", 20_000, tarvix::getBIOSVersion);
        tarvix.Uninit();
        measure("getHadrwareId (1,000 devices)", 20, tarvix::getHadrwareId);
    }
}
