// Message boxes and file dialogs. Users get real dialogs; a test installs a
// responder that records every request and answers it, so no test waits on
// a person. Without a responder on a headless display ("offscreen"), boxes
// take their default answer and file dialogs are cancelled, unless
// platform_testing::SetRealPopupsWhenHeadless asks for the real ones.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/types.h"

class CWnd;

// Buttons.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
constexpr UINT MB_TYPEMASK = 0x0000000F;
// Icons.
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x000000F0;
// Default button.
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;
// Modality and placement (kept, no effect beyond modality).
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;

// The results a box of that style can give, in button order.
std::vector<int> MessageBoxButtons(UINT style);
// The answer of Enter: the default button (MB_DEFBUTTONn).
int MessageBoxDefaultResult(UINT style);

struct MessageBoxRequest {
    HWND owner = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT style = 0;
    LANGID languageId = 0;
};
// Answers a box with one of its results.
using MessageBoxResponder = std::function<int(const MessageBoxRequest&)>;
// Installs the responder for the whole program; an empty one restores the
// real boxes. Responders are called on the UI thread.
void SetMessageBoxResponder(MessageBoxResponder responder);

// A modal box on the UI thread; the button texts follow langId (Chinese for
// primary language 4, else English). Called on another thread, the box is
// queued for the UI thread (as PostMessageBox) and the default result is
// returned at once.
int MessageBoxExW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style, LANGID langId);
// The plain box of the framework: caption "" and the current language.
int AfxMessageBox(const wchar_t* text, UINT style = MB_OK);
// Shows the box on the UI thread later, from any thread; never waits.
bool PostMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style, LANGID langId);

// File dialogs.
constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_ENABLESIZING = 0x00800000;

struct FileFilter {
    std::wstring label;                  // "Text(*.txt)"
    std::vector<std::wstring> patterns;  // "*.txt"
};
// "Text(*.txt)|*.txt|All(*.*)|*.*||" as label / pattern pairs (patterns
// separated by ';').
std::vector<FileFilter> ParseFileFilter(const std::wstring& filter);

struct FileDialogRequest {
    bool open = true;
    std::wstring title;
    std::wstring defaultExt;
    std::wstring fileName;
    std::vector<FileFilter> filters;
    DWORD flags = 0;
};
// The chosen path, or nullopt for Cancel. For a save dialog the chosen
// path gets the default extension when it has none.
using FileDialogResponder = std::function<std::optional<std::wstring>(const FileDialogRequest&)>;
void SetFileDialogResponder(FileDialogResponder responder);

struct OPENFILENAMEW {
    DWORD Flags = 0;
    const wchar_t* lpstrTitle = nullptr;
    const wchar_t* lpstrInitialDir = nullptr;
};

class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, const wchar_t* defExt = nullptr, const wchar_t* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const wchar_t* filter = nullptr,
                CWnd* parent = nullptr);
    virtual ~CFileDialog() = default;

    // IDOK with a path, IDCANCEL without.
    virtual INT_PTR DoModal();
    std::wstring GetPathName() const { return m_path; }
    std::wstring GetFileName() const;   // with extension
    std::wstring GetFileTitle() const;  // without extension
    std::wstring GetFileExt() const;    // without the dot
    std::wstring GetFolderPath() const;

    OPENFILENAMEW m_ofn;

private:
    BOOL m_open;
    std::wstring m_defExt;
    std::wstring m_fileName;
    std::wstring m_filter;
    CWnd* m_parent;
    std::wstring m_path;
};

// A responder for tests: records every box and file dialog, answers boxes
// from a queue of results (then with the default result), and file dialogs
// from a queue of paths (nullopt = Cancel; then Cancel). Installs itself for
// its lifetime.
class ScriptedDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs();
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    void AnswerBox(int result);
    void AnswerFile(std::optional<std::wstring> path);
    std::vector<MessageBoxRequest> Boxes() const;
    std::vector<FileDialogRequest> FileDialogs() const;
    void Clear();

private:
    struct State;
    std::shared_ptr<State> m_state;
};
