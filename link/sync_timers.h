// The main dialog's synchronisation timers: link changes (WM_LINK_CHANGED)
// start the keep-alive and import the device's images once per connection,
// IDT_POLL sends the keep-alive every 300 ms while a link is up,
// IDT_IMPORT_WATCHDOG resends a stalled import and gives up, IDT_PARAM_SYNC
// sends the first changed block of each image per tick (and a pending
// preset save once both images are in the device), IDT_STATUS refreshes the
// status display. An edit goes out at once when no block went out in the
// last 100 ms (OnModelEdited).
//
// The main dialog owns one SyncTimers, forwards its WM_TIMER ids to OnTimer
// and WM_LINK_CHANGED to OnLinkChange, and implements ISyncHost for
// everything that touches windows. Everything here runs on the UI thread.
// OnTimer is re-entered while the progress dialog runs modally inside
// OnLinkChange.
//
// Unlike a bare timer engine, these timers
//  - stop IDT_PARAM_SYNC on every loss of the link (HID or TCP, or a switch
//    from one to the other) and while an import runs; only a decoded
//    EqUser2 with a link up starts it again;
//  - ask for an image only once the device owes nothing (or has been quiet
//    for a second), behind a fence, so that no page of one read counts in
//    another;
//  - send no keep-alive while a read is under way (its replies tell that the
//    device is there) nor while an earlier one waits for its reply, for up
//    to a second;
//  - judge the device silent by the lack of any frame from it, not of new
//    pages, and watch the EqUser2 read as well;
//  - keep the import's progress dialog up until both images are in, and
//    complete it (1000) when the link is lost, so that every one ends;
//  - take the save's slot and images when the save is asked for, write
//    those before later edits and drop pending saves when the link goes
//    down; a recall waits for them;
//  - send CMD_SAVE_PRESET only once both images equal their shadows;
//  - keep a block that could not be queued (ring full) for the next tick.
#pragma once

#include <cstdint>
#include <vector>

#include "link/dispatcher.h"
#include "model/model_view.h"
#include "platform/types.h"
#include "res/resource.h"  // string-table ids

class IDelayFields;

// Timer ids and periods of the main dialog.
constexpr UINT_PTR IDT_POLL = 2;
constexpr UINT_PTR IDT_PARAM_SYNC = 10;
constexpr UINT_PTR IDT_STATUS = 11;
constexpr UINT_PTR IDT_IMPORT_WATCHDOG = 13;
constexpr UINT IDT_POLL_MS = 300;  // the keep-alive
constexpr UINT IDT_PARAM_SYNC_MS = 100;
constexpr UINT IDT_STATUS_MS = 300;
constexpr UINT IDT_IMPORT_WATCHDOG_MS = 100;

// What IDT_STATUS last showed (UI thread). The status labels read
// g_lastInputSource; RepaintSourceLabels runs while it still holds the old
// source.
extern int g_lastSaveSlot;
extern int g_lastPresetSlot;
extern int g_lastInputSource;
extern int g_lastUsbConnected;

// The block plan of IDT_PARAM_SYNC: EqUser in 57 blocks (55 bytes, then 56
// bytes from offset 56i - 1, the last 28 bytes at 3135), EqUser2 in 8
// blocks of 56 (the last 13 bytes at 392). Each plan covers its image once.
struct ImageBlock {
    unsigned offset;
    unsigned length;
};
constexpr int kEqUserBlocks = 57;
constexpr int kEqUser2Blocks = 8;
ImageBlock EqUserBlock(int index);
ImageBlock EqUser2Block(int index);

// The main dialog's side of the timers.
class ISyncHost {
public:
    // Window timers of the dialog (SetTimer on a live id restarts it).
    virtual void SetTimer(UINT_PTR id, UINT elapseMs) = 0;
    virtual void KillTimer(UINT_PTR id) = 0;
    // CTcpLink::GetState of the dialog's TCP link: any non-zero state is a link.
    virtual int TcpLinkState() const = 0;

    // CLoadPercent without a parent, run modally; returns when it ended
    // (g_progressPermille reached 1000). Timers and link messages go on.
    virtual void RunProgressModal() = 0;
    // String-table message box (caption g_msgCaption, OK, g_languageId), modal.
    virtual void ShowStringBox(int stringId) = 0;
    virtual void PostToSelf(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

    // What the images are built from: the delay fields and the graph's
    // mask of channels drawn besides the current one.
    virtual IDelayFields& DelayFields() = 0;
    virtual int VisibleChannels() const = 0;

    // The status display.
    virtual void UpdateSaveModeLabel() = 0;
    virtual void UpdateCurrentModeLabel() = 0;
    virtual void UpdateSourceLabel() = 0;
    virtual void RepaintSourceLabels() = 0;  // old source in g_lastInputSource
    virtual void DrawWifiPic() = 0;
    virtual void DrawUsbPic() = 0;

protected:
    ~ISyncHost() = default;
};

class SyncTimers {
public:
    explicit SyncTimers(ISyncHost& host);
    SyncTimers(const SyncTimers&) = delete;
    SyncTimers& operator=(const SyncTimers&) = delete;

    // OnInitDialog, after the link threads started: sets IDT_STATUS and
    // looks at the links (IDT_EQ_SYNC is the graph's, set by the dialog).
    void Start();

    // The dialog's WM_TIMER: true when id is one of the four timers here.
    bool OnTimer(UINT_PTR id);

    // WM_LINK_CHANGED: a link came up (keep-alive at once, then IDT_POLL
    // every 300 ms), went down (the session ends) or the device identified
    // itself (the import starts, with its progress dialog, modally here).
    void OnLinkChange();

    // An editor changed the model: when no block went out in the last
    // 100 ms the IDT_PARAM_SYNC tick runs now (and the timer restarts from
    // here), else the tick due within 100 ms takes the change.
    void OnModelEdited();

    // WM_PARAM_IMAGE_RECEIVED: EqUser is in. An import decodes it into the
    // model at once; a recall keeps it until EqUser2 is in too, so that a
    // recall that fails leaves the model as it was. Then EqUser2 is asked
    // for and, once per import, the channel names.
    void OnParamImageReceived(IModelView& view);
    // WM_ROUTING_IMAGE_RECEIVED: EqUser2 is in; decodes it (after a recall's
    // EqUser) and starts IDT_PARAM_SYNC when a link is up.
    void OnRoutingImageReceived(IModelView& view);
    // The HID device went away (IDialogPort::HidDeviceRemoved).
    void OnLinkLost();
    void StopParamSync();
    // An accepted firmware image: IDT_PARAM_SYNC stops, a recall under way
    // or waiting ends without a word, pending saves are dropped.
    void StopForFirmware();
    // A preset recall of slot: refused (false, nothing changes) unless a
    // link is up, the device identified itself and its images are in or
    // being imported. Taken at once, or once a pending save has gone out or
    // the import is in. g_presetSlot becomes slot and the slot's EqUser is
    // asked for once the device owes nothing (OpenImageRead); both images
    // then arrive as in an import, without the progress dialog, asked again
    // on silence as the import is, and replace the model together. A recall
    // given up leaves the model as it was, puts back the images as they were
    // before and writes every block of both: the device then holds what the
    // window shows, and the window says the recall failed.
    bool StartRecall(int slot);
    bool Recalling() const { return m_recall || m_queuedRecall >= 0; }

    // A preset save into slot of what the window shows now: the images are
    // taken at once and written before anything edited later, then
    // CMD_SAVE_PRESET goes out. Refused (false, nothing pending) while no
    // link is up or no device has identified itself.
    bool RequestSavePreset(int slot);
    bool SavePending() const { return !m_saves.empty(); }

    int ImportState() const { return m_nImportState; }
    bool ParamSyncRunning() const { return m_paramSync; }

    void OnKeepAlive();
    void OnImportWatchdog();
    void OnParamSync();
    void OnStatus();

    static constexpr int kImporting = 8;
    static constexpr int kWatchdogGiveUp = 70;
    // Ticks without a frame after which a device that still owed replies is
    // taken as done with them.
    static constexpr int kQuietTicks = 10;

private:
    enum class Link { kNone, kHid, kTcp };
    // kWaiting: an image is to be asked for once the device owes nothing;
    // kEqUser, kEqUser2: the image asked for is arriving.
    enum class Reading { kNone, kWaiting, kEqUser, kEqUser2 };
    struct SaveRequest {
        int slot;
        std::vector<uint8_t> eqUser, eqUser2;
    };

    Link CurrentLink() const;
    LinkKind ReadLink() const;
    bool ShouldImport() const;
    bool ImportUnderWay() const;
    // Without a link: identification, import, IDT_PARAM_SYNC and pending
    // saves end. On the loss itself the progress completes as well.
    void EndSession();
    void LinkLost();
    void StartImport();
    void BeginRecall(int slot);
    // Asks for EqUser (routing: EqUser2) of the read, at once when the
    // device owes nothing, else from the watchdog once it does or has been
    // quiet for kQuietTicks.
    void AskImage(bool routing);
    // The request behind a fresh fence; a resend keeps the pages in.
    void OpenRead(bool resend);
    void GiveUpRecall();
    // The read ends: watchdog off, no recall under way.
    void EndRead();
    void StartParamSync();
    void StopWatchdog();
    // Sends the first changed block of the image; true when the image then
    // equals its shadow. sent tells whether a block was queued.
    bool SyncImage(bool routing, bool& sent);
    void FlushSave();
    void StartQueuedRecall();

    ISyncHost& m_host;
    int m_nImportState = 0;
    uint64_t m_connection = 0;  // LinkConnections() of the session's link
    bool m_keepAlive = false;
    int64_t m_lastKeepAliveNs = 0;
    int64_t m_lastBlockNs = 0;  // steady clock of the last tick that sent a block
    bool m_channelNamesRequested = false;
    bool m_paramSync = false;
    bool m_watchdog = false;
    int m_resends = 0;      // of the read under way, since its last new page
    bool m_recall = false;  // the read under way is a recall's
    int m_recallSlot = 0;
    int m_queuedRecall = -1;  // a recall waiting for a save or the import
    bool m_imagesIn = false;  // this connection's import brought both images
    bool m_writeAll = false;  // the next tick takes every block as changed
    bool m_progressOpen = false;
    Reading m_reading = Reading::kNone;
    bool m_askRouting = false;                             // the image kWaiting asks for
    std::vector<uint8_t> m_recalledEqUser;                 // a recall's EqUser, decoded with its EqUser2
    std::vector<uint8_t> m_eqUserBefore, m_eqUser2Before;  // the images as a recall found them
    std::vector<SaveRequest> m_saves;                      // oldest first
    Link m_link = Link::kNone;
};
