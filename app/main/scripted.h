// The program's scripted start, for screenshots and start-up checks without
// a person: environment variables script a run.
//   TARVEL_SCRIPT_SHOT=<file.png>  picture of the main window (or of the
//                                  popup in front of it) before closing
//   TARVEL_SCRIPT_CLOSE_MS=<ms>    closes the program that long after start:
//                                  ends the popups in front one by one (a
//                                  message box, file dialog or menu as its
//                                  Cancel would, a dialog with Cancel), then
//                                  the main window (WM_CLOSE)
//   TARVEL_SCRIPT_REAL_BOXES=1     offscreen too, message boxes and file
//                                  dialogs wait for an answer (or the
//                                  scripted close) instead of taking their
//                                  default at once
//   TARVEL_SCRIPT_PORT=<port>      the emulated amplifier's TCP port (1..65535):
//                                  the link talks to 127.0.0.1 on it, whatever
//                                  device address the build has
//   TARVEL_SCRIPT_MODEL=<1..8>     confirms the model picker with that model
//   TARVEL_SCRIPT_CLICK=<id>       clicks that control of the main window once
//                                  it is up (a popup's button, for a picture)
//   TARVEL_SCRIPT_LOCK_DIR=<dir>   keeps the lock against a second copy (and
//                                  its socket) in that folder instead of the
//                                  user's: runs side by side never meet
// The only unit of the program that uses the test hooks (platform/testing/).
#pragma once

#include <memory>

class ScriptedStart {
public:
    ScriptedStart();
    // Stops and joins the script's threads (End).
    ~ScriptedStart();
    ScriptedStart(const ScriptedStart&) = delete;
    ScriptedStart& operator=(const ScriptedStart&) = delete;

    // Before the application runs: applies the settings and starts the
    // script's threads. False, with a message on stderr, when a setting is
    // not valid (the program then exits with 2).
    bool Begin();
    // After the application has run.
    void End();

private:
    struct Threads;
    std::unique_ptr<Threads> m_threads;
};
