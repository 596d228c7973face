// Tallowmere's application object: it builds the engine (the process's job mutex and
// its job manager), runs the main dialog modally and, once the dialog has closed, ends
// the engine so that no job or browser thread outlives the program.
//
// Threads: the program's main thread, never with the process lock held.
#pragma once

#include <vector>

class Job;

class Mp3FinderApp {
public:
    // Starts the engine, runs the main dialog until it closes and ends the engine.
    // False: the program ends when the dialog has closed.
    bool InitInstance();

    // The job mutex and theJobManager (started by the dialog); thumbnails switched off.
    // The browser pool is made by the dialog.
    static void StartEngine();
    // After the dialog's window has gone (its jobs cancelled, the pool closed, the
    // manager and with it the running downloads stopped): joins the manager and finishes
    // the jobs still queued without running them, waits for the threads of the jobs the
    // dialog left and deletes them, shuts the pool down (its threads are joined) and
    // deletes the manager.
    static void EndEngine(std::vector<Job*> leftJobs);
};
