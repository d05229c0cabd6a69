package com.velk.utils;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;

import com.velk.utils.sim.SimulatedWindows;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.BeforeEach;

/** Each test on a fresh simulated machine, ending with proof that everything was given back. */
abstract class OnSimulatedMachine {
    @BeforeEach
    void freshMachine() {
        SimulatedWindows.reset();
    }

    @AfterEach
    void everythingGivenBack() {
        assertArrayEquals(new String[0], SimulatedWindows.ledgerFaults());
    }
}
