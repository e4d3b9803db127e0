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
//  - reset the watchdog count and the progress before an import request
//    leaves, count only pages new to the read as progress and watch the
//    EqUser2 read as well;
//  - complete the progress (1000) when the link is lost, so that every
//    progress dialog ends;
//  - take the save slot when the save is asked for and drop a pending save
//    when the link goes down;
//  - send CMD_SAVE_PRESET only once both images equal their shadows;
//  - keep a block that could not be queued (ring full) for the next tick.
#pragma once

#include <cstdint>
#include <vector>

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

    // WM_PARAM_IMAGE_RECEIVED, after EqUser was decoded: asks for EqUser2
    // and, once per import, for the channel names; the import's watchdog
    // goes on (resending CMD_READ_EQUSER2) until EqUser2 is decoded.
    void OnParamImageDecoded();
    // WM_ROUTING_IMAGE_RECEIVED, after EqUser2 was decoded: starts
    // IDT_PARAM_SYNC when a link is up and no EqUser read is under way.
    void OnRoutingImageDecoded();
    // The HID device went away (IDialogPort::HidDeviceRemoved).
    void OnLinkLost();
    // A preset recall or an accepted firmware image.
    void StopParamSync();
    // A preset recall of slot, taken only while a link is up, the device
    // identified itself and its images are in (false: nothing changes).
    // g_presetSlot becomes slot, IDT_PARAM_SYNC stops and the slot's EqUser
    // is asked for behind a fence (FenceImageReads): pages of an earlier
    // read never count in this one. Both images then arrive as in an
    // import, without the progress dialog, asked again on silence as the
    // import is. A recall given up puts back the images as they were before
    // the recall and writes every block of both: the device then holds what
    // the window shows, and the window says the recall failed.
    bool StartRecall(int slot);
    bool CanRecall() const;
    bool Recalling() const { return m_recall; }

    // The preset save into slot goes out once the device holds both images.
    // Refused (false, nothing pending) while no link is up or no device has
    // identified itself.
    bool RequestSavePreset(int slot);
    bool SavePending() const { return m_saveSlot >= 0; }

    int ImportState() const { return m_nImportState; }
    bool ParamSyncRunning() const { return m_paramSync; }

    void OnKeepAlive();
    void OnImportWatchdog();
    void OnParamSync();
    void OnStatus();

    static constexpr int kImporting = 8;
    static constexpr int kWatchdogGiveUp = 70;

private:
    enum class Link { kNone, kHid, kTcp };
    // EqUser is read from the import's start until it is decoded; EqUser2
    // from then until it is decoded.
    enum class Reading { kNone, kEqUser, kEqUser2 };

    Link CurrentLink() const;
    bool ShouldImport() const;
    // Without a link: identification, import, IDT_PARAM_SYNC and a pending
    // save end. On the loss itself the progress completes as well.
    void EndSession();
    void LinkLost();
    void StartImport();
    // CMD_READ_EQUSER of the current settings (the import) or of the
    // recalled slot, behind a fresh fence; a resend keeps the pages in.
    void RequestRead(bool resend);
    void GiveUpRecall();
    void StartParamSync();
    void StopWatchdog();
    // Sends the first changed block of the image; true when the image then
    // equals its shadow. sent tells whether a block was queued.
    bool SyncImage(bool routing, bool& sent);
    void FlushSave();

    ISyncHost& m_host;
    int m_nImportState = 0;
    uint64_t m_connection = 0;  // LinkConnections() of the session's link
    bool m_keepAlive = false;
    int64_t m_lastBlockNs = 0;  // steady clock of the last tick that sent a block
    bool m_channelNamesRequested = false;
    bool m_paramSync = false;
    bool m_watchdog = false;
    bool m_recall = false;  // the watchdog runs for a recall
    int m_recallSlot = 0;
    bool m_imagesIn = false;  // this connection's import brought both images
    bool m_writeAll = false;  // the next tick takes every block as changed
    bool m_progressOpen = false;
    Reading m_reading = Reading::kNone;
    std::vector<uint8_t> m_eqUserBefore, m_eqUser2Before;  // the images as a recall found them
    Link m_link = Link::kNone;
    int m_saveSlot = -1;
};
