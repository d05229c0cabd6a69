package com.velk.utils.bench;

import com.velk.utils.Tarvix;
import com.velk.utils.sim.SimulatedWindows;
import java.util.Arrays;
import java.util.List;
import java.util.function.Supplier;

/**
 * The cost of one call from Java of getVersion, a getter and getHadrwareId (1,000 devices),
 * beside a trivial native that answers a constant string, in one JVM run over the simulated
 * machine. Prints one line per figure: "jvm", the name, then the median, lowest and highest
 * nanoseconds per call over the rounds.
 */
public final class JvmBench {
    private static final int WARM_ROUNDS = 5;
    private static final int ROUNDS = 21;

    private JvmBench() {}

    /** One figure: a call made in batches, each round of batches shared by every figure. */
    private static final class Figure {
        final String name;
        final int callsPerBatch;
        final Supplier<Object> call;
        final double[] perCall = new double[ROUNDS];

        Figure(String name, int callsPerBatch, Supplier<Object> call) {
            this.name = name;
            this.callsPerBatch = callsPerBatch;
            this.call = call;
        }

        double batch() {
            Object sink = null;
            long start = System.nanoTime();
            for (int i = 0; i < callsPerBatch; i++) sink = call.get();
            long elapsed = System.nanoTime() - start;
            if (sink == null) throw new IllegalStateException(name + " answered null");
            return elapsed / (double) callsPerBatch;
        }

        void print() {
            double[] sorted = perCall.clone();
            Arrays.sort(sorted);
            System.out.printf("jvm\t%s\t%.1f\t%.1f\t%.1f%n", name, sorted[ROUNDS / 2], sorted[0], sorted[ROUNDS - 1]);
        }
    }

    public static void main(String[] args) {
        Tarvix tarvix = new Tarvix();
        SimulatedWindows.reset();
        SimulatedWindows.setWmiProperty("Win32_BIOS", "Version", "BIOS Version 2.17.1246");
        for (int i = 0; i < 1000; i++) SimulatedWindows.addDeviceWithDriver("PCI\\VEN_8086&DEV_" + i, "10.0.19041.1");
        if (!tarvix.Init()) throw new IllegalStateException("Init failed");

        List<Figure> figures = List.of(
                new Figure("constant string (trivial native)", 20_000, Baseline::constant),
                new Figure("getVersion", 20_000, tarvix::getVersion),
                new Figure("getBIOSVersion", 20_000, tarvix::getBIOSVersion),
                new Figure("getHadrwareId (1,000 devices)", 20, tarvix::getHadrwareId));
        // Rounds alternate the figures, so that each sees the same state of the VM and machine.
        for (int round = -WARM_ROUNDS; round < ROUNDS; round++) {
            for (Figure figure : figures) {
                SimulatedWindows.forgetHistory();
                double perCall = figure.batch();
                if (round >= 0) figure.perCall[round] = perCall;
            }
        }
        tarvix.Uninit();
        figures.forEach(Figure::print);
    }
}
