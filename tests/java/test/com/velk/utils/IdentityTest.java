package com.velk.utils;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.velk.utils.sim.SimulatedWindows;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.concurrent.ConcurrentLinkedQueue;
import java.util.function.Function;
import org.junit.jupiter.api.AfterEach;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;

class IdentityTest extends OnSimulatedMachine {
    private final Tarvix tarvix = new Tarvix();

    private static final Map<String, Function<Tarvix, String>> GETTERS = Map.of(
            "Win32_BaseBoard.Manufacturer", Tarvix::getMBManufacturer,
            "Win32_BaseBoard.Product", Tarvix::getMBProduct,
            "Win32_BaseBoard.Version", Tarvix::getMBVersion,
            "Win32_BaseBoard.SerialNumber", Tarvix::getMBSerialNumber,
            "Win32_BIOS.CurrentLanguage", Tarvix::getBIOSLanguage,
            "Win32_BIOS.Version", Tarvix::getBIOSVersion,
            "Win32_BIOS.SMBIOSBIOSVersion", Tarvix::getSMBIOSVersion,
            "Win32_ComputerSystem.Manufacturer", Tarvix::getCSManufacturer,
            "Win32_ComputerSystem.Model", Tarvix::getCSModel);

    /** Each property's text names it, with non-ASCII units and a surrogate pair. */
    private static String textOf(String classAndProperty) {
        return classAndProperty + " \u00e4\u00df \u65e5\u672c \ud83d\ude00";
    }

    @BeforeEach
    void machineWithIdentity() {
        for (String key : GETTERS.keySet()) {
            String[] parts = key.split("\\.");
            SimulatedWindows.setWmiProperty(parts[0], parts[1], textOf(key));
        }
    }

    @AfterEach
    void closed() {
        tarvix.Uninit();
    }

    @Test
    void everyGetterAnswersItsPropertyIntactBetweenInitAndUninit() {
        for (Function<Tarvix, String> getter : GETTERS.values()) {
            assertNull(getter.apply(tarvix));
        }
        assertTrue(tarvix.Init());
        GETTERS.forEach((key, getter) -> assertEquals(textOf(key), getter.apply(tarvix), key));
        tarvix.Uninit();
        for (Function<Tarvix, String> getter : GETTERS.values()) {
            assertNull(getter.apply(tarvix));
        }
    }

    @Test
    void emptyPropertyIsEmptyAndNullPropertyIsNull() {
        SimulatedWindows.setWmiProperty("Win32_BaseBoard", "SerialNumber", null);
        SimulatedWindows.setWmiProperty("Win32_BIOS", "CurrentLanguage", "");
        assertTrue(tarvix.Init());
        assertNull(tarvix.getMBSerialNumber());
        assertEquals("", tarvix.getBIOSLanguage());
    }

    @Test
    void unreachableServiceMeansFalseAndNulls() {
        SimulatedWindows.setWmiReachable(false);
        assertFalse(tarvix.Init());
        assertNull(tarvix.getCSModel());
    }

    @Test
    void gettersAnswerFromSeveralThreadsAtOnce() throws InterruptedException {
        assertTrue(tarvix.Init());
        ConcurrentLinkedQueue<String> wrong = new ConcurrentLinkedQueue<>();
        List<Thread> threads = new ArrayList<>();
        for (int t = 0; t < 6; t++) {
            Thread thread = new Thread(() -> {
                for (int round = 0; round < 50; round++) {
                    GETTERS.forEach((key, getter) -> {
                        String answer = getter.apply(tarvix);
                        if (!textOf(key).equals(answer)) {
                            wrong.add(key + " -> " + answer);
                        }
                    });
                }
            });
            threads.add(thread);
            thread.start();
        }
        for (Thread thread : threads) {
            thread.join();
        }
        assertEquals(List.of(), new ArrayList<>(wrong));
    }
}
