package com.velk.utils;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.velk.utils.sim.SimulatedWindows;
import org.junit.jupiter.api.Test;

class MiscUtilsTest extends OnSimulatedMachine {
    private static final String RUNTIME_KEY = "Software\\JavaSoft\\Java Runtime Environment\\1.6";
    private final MiscUtils misc = new MiscUtils();

    @Test
    void readsNamedValuesWithNonAsciiNamesAndTexts() {
        String name = "N\u00e4me \u65e5\u672c \ud83d\ude00";
        SimulatedWindows.setRegistryString(RUNTIME_KEY, name, "J\u00e4va \ud83d\ude00");
        SimulatedWindows.setRegistryString(RUNTIME_KEY, "JavaHome", "C:\\Program Files\\Java\\jre6");
        assertEquals("J\u00e4va \ud83d\ude00", misc.getJreVersionInfo(name));
        assertEquals("C:\\Program Files\\Java\\jre6", misc.getJreVersionInfo("JavaHome"));
        assertNull(misc.getJreVersionInfo("NoSuchValue"));
        assertNull(misc.getJreVersionInfo(null));
    }

    @Test
    void answersNullWithoutTheRuntimeKey() {
        SimulatedWindows.setRegistryString(RUNTIME_KEY, "JavaHome", "C:\\Java");
        SimulatedWindows.removeRegistryKey(RUNTIME_KEY);
        assertNull(misc.getJreVersionInfo("JavaHome"));
    }

    @Test
    void createsTheRootFileEachTimeAndReportsIt() {
        assertTrue(misc.createRootFile());
        assertTrue(misc.createRootFile());
        assertTrue(SimulatedWindows.fileIsEmpty("C:\\test.txt"));
        assertEquals("Native CreateFile success.\nNative CreateFile success.\n", SimulatedWindows.standardOutput());
    }

    @Test
    void reportsARootThatCannotBeWritten() {
        SimulatedWindows.denyWritesUnder("C:\\");
        assertFalse(misc.createRootFile());
        assertEquals("Native CreateFile failed.\n", SimulatedWindows.standardOutput());
    }
}
