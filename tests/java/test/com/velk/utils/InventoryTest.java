package com.velk.utils;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;

import com.velk.utils.sim.SimulatedWindows;
import org.junit.jupiter.api.Test;

class InventoryTest extends OnSimulatedMachine {
    @Test
    void aThousandDevicesArriveWholeAndInOrder() {
        String[] expected = new String[1000];
        StringBuilder lines = new StringBuilder();
        for (int i = 0; i < expected.length; i++) {
            String id = "PCI\\VEN_" + i + "\u00e9";
            String version = "10." + i + ".\ud83d\ude00";
            SimulatedWindows.addDeviceWithDriver(id, version);
            expected[i] = id + "=" + version;
            lines.append(expected[i]).append('\n');
        }
        assertArrayEquals(expected, new Tarvix().getHadrwareId());
        assertEquals(lines.toString(), SimulatedWindows.standardOutput());
    }

    @Test
    void noDeviceGivesAnEmptyArray() {
        assertArrayEquals(new String[0], new Tarvix().getHadrwareId());
        assertEquals("", SimulatedWindows.standardOutput());
    }
}
