package com.velk.utils;

import static org.junit.jupiter.api.Assertions.assertEquals;

import org.junit.jupiter.api.Test;

class VersionTest {
    @Test
    void answersTheVersionTextEveryTime() {
        Tarvix tarvix = new Tarvix();
        for (int call = 0; call < 3; call++) {
            String version = tarvix.getVersion();
            assertEquals("Ver: 2009.12.25", version);
            assertEquals(15, version.length());
        }
    }

    @Test
    void answersFromSeveralThreadsAtOnce() throws InterruptedException {
        Tarvix tarvix = new Tarvix();
        String[] answers = new String[8];
        Thread[] threads = new Thread[answers.length];
        for (int i = 0; i < threads.length; i++) {
            final int slot = i;
            threads[i] = new Thread(() -> answers[slot] = tarvix.getVersion());
            threads[i].start();
        }
        for (Thread thread : threads) {
            thread.join();
        }
        for (String answer : answers) {
            assertEquals("Ver: 2009.12.25", answer);
        }
    }
}
