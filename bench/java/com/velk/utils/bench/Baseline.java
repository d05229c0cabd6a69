package com.velk.utils.bench;

/** A native that does nothing but answer a constant string: the floor of any native's cost. */
final class Baseline {
    static {
        System.loadLibrary("tarvix_bench_baseline");
    }

    private Baseline() {}

    static native String constant();
}
