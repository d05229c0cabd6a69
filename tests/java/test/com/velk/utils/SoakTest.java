package com.velk.utils;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import com.velk.utils.sim.SimulatedWindows;
import java.io.IOException;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.BrokenBarrierException;
import java.util.concurrent.ConcurrentLinkedQueue;
import java.util.concurrent.CyclicBarrier;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.atomic.AtomicLong;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;

/**
 * Every native called many times from several threads, in rounds: after each round the ledger
 * must balance, and once the process is warm its open file descriptors and its resident memory
 * must stay flat. The number of calls of each native is the system property tarvix.soak.calls.
 */
class SoakTest extends OnSimulatedMachine {
    private static final int THREADS = 4;
    private static final int ROUNDS = 10;
    private static final int WARM_ROUNDS = 4;
    /**
     * Growth over the warm rounds that counts as a leak. Resident memory also moves with the
     * allocator's caches; the heap in use does not, so its bound is tight: one 32-byte block
     * kept per call of a single native passes it within the 5,000 calls after warming of the
     * shortest run.
     */
    private static final long MEMORY_SLACK_KB = 8 * 1024;
    private static final long HEAP_SLACK_KB = 128;
    private static final String[] DEVICES = {"PCI\\VEN_8086&DEV_1237=10.0.1", "USB\\ROOT_HUB30=6.2.9200.16384"};
    private static final String RUNTIME_KEY = "Software\\JavaSoft\\Java Runtime Environment\\1.6";

    private final Tarvix tarvix = new Tarvix();
    private final MiscUtils misc = new MiscUtils();
    private final ConcurrentLinkedQueue<String> wrongAnswers = new ConcurrentLinkedQueue<>();
    private final AtomicLong rootFilesCreated = new AtomicLong();

    private static void setUpMachine() {
        SimulatedWindows.setWmiProperty("Win32_BaseBoard", "Manufacturer", "Board Maker");
        SimulatedWindows.setWmiProperty("Win32_BaseBoard", "Product", "Board");
        SimulatedWindows.setWmiProperty("Win32_BaseBoard", "Version", "1.0");
        SimulatedWindows.setWmiProperty("Win32_BaseBoard", "SerialNumber", "SN-1");
        SimulatedWindows.setWmiProperty("Win32_BIOS", "CurrentLanguage", "en|US|iso8859-1");
        SimulatedWindows.setWmiProperty("Win32_BIOS", "Version", "BIOS 2.1");
        SimulatedWindows.setWmiProperty("Win32_BIOS", "SMBIOSBIOSVersion", "2.1.0");
        SimulatedWindows.setWmiProperty("Win32_ComputerSystem", "Manufacturer", "Maker");
        SimulatedWindows.setWmiProperty("Win32_ComputerSystem", "Model", "Model 7");
        for (String device : DEVICES) {
            String[] parts = device.split("=");
            SimulatedWindows.addDeviceWithDriver(parts[0], parts[1]);
        }
        SimulatedWindows.setRegistryString(RUNTIME_KEY, "JavaHome", "C:\\jre6");
    }

    private void expect(String what, Object expected, Object actual) {
        if (!expected.equals(actual)) wrongAnswers.add(what + ": " + actual);
    }

    /** A getter answers its text, or null while another thread has the connection closed. */
    private void expectTextOrNull(String what, String expected, String actual) {
        if (actual != null) expect(what, expected, actual);
    }

    private void everyNativeOnce() {
        expect("getVersion", "Ver: 2009.12.25", tarvix.getVersion());
        expect("Init", true, tarvix.Init());
        expectTextOrNull("getMBManufacturer", "Board Maker", tarvix.getMBManufacturer());
        expectTextOrNull("getMBProduct", "Board", tarvix.getMBProduct());
        expectTextOrNull("getMBVersion", "1.0", tarvix.getMBVersion());
        expectTextOrNull("getMBSerialNumber", "SN-1", tarvix.getMBSerialNumber());
        expectTextOrNull("getBIOSLanguage", "en|US|iso8859-1", tarvix.getBIOSLanguage());
        expectTextOrNull("getBIOSVersion", "BIOS 2.1", tarvix.getBIOSVersion());
        expectTextOrNull("getSMBIOSVersion", "2.1.0", tarvix.getSMBIOSVersion());
        expectTextOrNull("getCSManufacturer", "Maker", tarvix.getCSManufacturer());
        expectTextOrNull("getCSModel", "Model 7", tarvix.getCSModel());
        expect("getHadrwareId", Arrays.asList(DEVICES), Arrays.asList(tarvix.getHadrwareId()));
        expect("getJreVersionInfo", "C:\\jre6", misc.getJreVersionInfo("JavaHome"));
        // The file is opened without sharing: a thread creating it at the same moment as
        // another is refused, as on Windows.
        if (misc.createRootFile()) rootFilesCreated.incrementAndGet();
        tarvix.Uninit();
    }

    /**
     * The same threads all through, meeting after each round so the main thread can measure:
     * threads made anew each round would each get fresh allocator arenas, and resident memory
     * would then grow with the threads rather than with what the library keeps.
     */
    private List<Thread> startWorkers(int callsPerRound, CyclicBarrier roundDone, CyclicBarrier nextRound) {
        List<Thread> workers = new ArrayList<>();
        for (int t = 0; t < THREADS; t++) {
            Thread worker = new Thread(() -> {
                try {
                    for (int r = 0; r < ROUNDS; r++) {
                        for (int i = 0; i < callsPerRound; i++) everyNativeOnce();
                        roundDone.await();
                        nextRound.await();
                    }
                } catch (InterruptedException | BrokenBarrierException e) {
                    wrongAnswers.add("worker stopped: " + e);
                }
            });
            worker.start();
            workers.add(worker);
        }
        return workers;
    }

    private static long openDescriptors() throws IOException {
        try (Stream<Path> descriptors = Files.list(Path.of("/proc/self/fd"))) {
            return descriptors.count();
        }
    }

    private static long residentKb() throws IOException {
        for (String line : Files.readAllLines(Path.of("/proc/self/status"))) {
            if (line.startsWith("VmRSS:")) return Long.parseLong(line.replaceAll("[^0-9]", ""));
        }
        throw new IOException("no VmRSS in /proc/self/status");
    }

    @Test
    void everyNativeManyTimesFromSeveralThreadsLeavesNothingBehind() throws Exception {
        int calls = Integer.getInteger("tarvix.soak.calls", 10_000);
        int perThreadPerRound = Math.max(1, calls / (THREADS * ROUNDS));
        setUpMachine();
        CyclicBarrier roundDone = new CyclicBarrier(THREADS + 1);
        CyclicBarrier nextRound = new CyclicBarrier(THREADS + 1);
        List<Thread> workers = startWorkers(perThreadPerRound, roundDone, nextRound);
        // Every round does the same work and only records; the checks come after the last,
        // so that nothing the checks themselves load lands between two measurements.
        long[] descriptors = new long[ROUNDS];
        long[] resident = new long[ROUNDS];
        long[] heap = new long[ROUNDS];
        for (int r = 0; r < ROUNDS; r++) {
            roundDone.await(10, TimeUnit.MINUTES);
            assertArrayEquals(new String[0], SimulatedWindows.ledgerFaults(), "after round " + (r + 1));
            SimulatedWindows.forgetHistory();
            System.gc();
            descriptors[r] = openDescriptors();
            resident[r] = residentKb();
            heap[r] = SimulatedWindows.heapInUse() / 1024;
            System.out.printf("round %d: %d calls of each native, %d descriptors, %d kB resident, %d kB heap in use%n",
                    r + 1, (r + 1) * perThreadPerRound * THREADS, descriptors[r], resident[r], heap[r]);
            nextRound.await(10, TimeUnit.MINUTES);
        }
        for (Thread worker : workers) worker.join();
        int warm = WARM_ROUNDS - 1;
        for (int r = WARM_ROUNDS; r < ROUNDS; r++) {
            assertEquals(descriptors[warm], descriptors[r], "open descriptors after round " + (r + 1));
            assertTrue(resident[r] - resident[warm] <= MEMORY_SLACK_KB,
                    "resident memory grew by " + (resident[r] - resident[warm]) + " kB after round " + (r + 1));
        }
        // A leak only grows, while the VM's own work comes and goes: the lower of the last two
        // rounds is the one to judge, against a bound that allows the VM a little per call.
        long settled = Math.min(heap[ROUNDS - 1], heap[ROUNDS - 2]);
        long heapSlack = HEAP_SLACK_KB + calls / 1000;
        assertTrue(settled - heap[warm] <= heapSlack,
                "heap in use grew by " + (settled - heap[warm]) + " kB from round " + WARM_ROUNDS + " to the last");
        assertEquals(List.of(), new ArrayList<>(wrongAnswers).subList(0, Math.min(10, wrongAnswers.size())));
        assertTrue(rootFilesCreated.get() > 0, "createRootFile never answered true");
    }
}
