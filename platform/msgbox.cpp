// Message boxes and file dialogs: real Qt dialogs, or the installed
// responder.
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <mutex>

#include "platform/msgbox.h"
#include "platform/resources.h"
#include "platform/wnd_qt.h"

namespace {

std::mutex g_responderMutex;
MessageBoxResponder g_boxResponder;
FileDialogResponder g_fileResponder;

bool Headless()
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return true;
    return QGuiApplication::platformName() == QLatin1String("offscreen") && !RealPopupsWhenHeadless();
}

// The answer of a box ended by a scripted close: the one that does least.
int EndedBoxResult(const std::vector<int>& buttons)
{
    for (int wanted : {IDCANCEL, IDNO})
        if (std::find(buttons.begin(), buttons.end(), wanted) != buttons.end()) return wanted;
    return buttons.front();
}

QString ButtonText(int result, LANGID lang)
{
    const bool zh = (lang & 0x3FF) == 0x04;
    switch (result) {
    case IDOK: return zh ? QStringLiteral("确定") : QStringLiteral("OK");
    case IDCANCEL: return zh ? QStringLiteral("取消") : QStringLiteral("Cancel");
    case IDABORT: return zh ? QStringLiteral("中止(&A)") : QStringLiteral("&Abort");
    case IDRETRY: return zh ? QStringLiteral("重试(&R)") : QStringLiteral("&Retry");
    case IDIGNORE: return zh ? QStringLiteral("忽略(&I)") : QStringLiteral("&Ignore");
    case IDYES: return zh ? QStringLiteral("是(&Y)") : QStringLiteral("&Yes");
    case IDNO: return zh ? QStringLiteral("否(&N)") : QStringLiteral("&No");
    case IDTRYAGAIN: return zh ? QStringLiteral("重试(&T)") : QStringLiteral("&Try Again");
    case IDCONTINUE: return zh ? QStringLiteral("继续(&C)") : QStringLiteral("&Continue");
    default: return QString::number(result);
    }
}

QWidget* OwnerWidget(HWND owner)
{
    if (WndCore* c = WndCore::FromHwnd(owner)) {
        if (c->widget) return c->widget->window();
    }
    return QApplication::activeWindow();
}

int ShowBoxNow(const MessageBoxRequest& req)
{
    MessageBoxResponder responder;
    {
        std::lock_guard lock(g_responderMutex);
        responder = g_boxResponder;
    }
    const std::vector<int> buttons = MessageBoxButtons(req.style);
    if (responder) return responder(req);
    if (Headless()) {
        std::fprintf(stderr, "message box: %s\n", QString::fromStdWString(req.text).toLocal8Bit().constData());
        return MessageBoxDefaultResult(req.style);
    }
    QMessageBox box(OwnerWidget(req.owner));
    box.setWindowTitle(QString::fromStdWString(req.caption));
    box.setText(QString::fromStdWString(req.text));
    switch (req.style & MB_ICONMASK) {
    case MB_ICONHAND: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONEXCLAMATION: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONASTERISK: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    std::vector<QPushButton*> pushed;
    for (int result : buttons)
        pushed.push_back(box.addButton(ButtonText(result, req.languageId), QMessageBox::ActionRole));
    const int def = MessageBoxDefaultResult(req.style);
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == def) box.setDefaultButton(pushed[i]);
        if (buttons[i] == IDCANCEL || (buttons.size() == 1 && buttons[i] == IDOK)) box.setEscapeButton(pushed[i]);
    }
    {
        const PopupLoopScope popup([&box] { box.reject(); });
        box.exec();
        if (popup.Ended()) return EndedBoxResult(buttons);
    }
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (box.clickedButton() == pushed[i]) return buttons[i];
    }
    return buttons.size() == 1 ? buttons[0] : IDCANCEL;
}

bool HasExtension(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L'/');
    const size_t dot = path.find_last_of(L'.');
    return dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash + 1);
}

QString QtFilter(const FileFilter& f)
{
    QStringList patterns;
    for (const std::wstring& p : f.patterns)
        patterns << (p == L"*.*" ? QStringLiteral("*") : QString::fromStdWString(p));
    return QString::fromStdWString(f.label) + QStringLiteral(" (") + patterns.join(' ') + QStringLiteral(")");
}

}  // namespace

std::vector<int> MessageBoxButtons(UINT style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
    default: return {IDOK};
    }
}

int MessageBoxDefaultResult(UINT style)
{
    const std::vector<int> buttons = MessageBoxButtons(style);
    const size_t index = (style & MB_DEFMASK) >> 8;
    return index < buttons.size() ? buttons[index] : buttons[0];
}

void SetMessageBoxResponder(MessageBoxResponder responder)
{
    std::lock_guard lock(g_responderMutex);
    g_boxResponder = std::move(responder);
}

void SetFileDialogResponder(FileDialogResponder responder)
{
    std::lock_guard lock(g_responderMutex);
    g_fileResponder = std::move(responder);
}

int MessageBoxExW(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style, LANGID langId)
{
    MessageBoxRequest req;
    req.owner = owner;
    req.text = text ? text : L"";
    req.caption = caption ? caption : L"";
    req.style = style;
    req.languageId = langId ? langId : g_languageId;
    if (!IsUiThread()) {
        PostMessageBox(owner, req.text, req.caption, style, req.languageId);
        return MessageBoxDefaultResult(style);
    }
    return ShowBoxNow(req);
}

int AfxMessageBox(const wchar_t* text, UINT style) { return MessageBoxExW(nullptr, text, L"", style, 0); }

bool PostMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style, LANGID langId)
{
    MessageBoxRequest req;
    req.owner = owner;
    req.text = text;
    req.caption = caption;
    req.style = style;
    req.languageId = langId ? langId : g_languageId;
    return PostToUi([req] { ShowBoxNow(req); });
}

// ---------------------------------------------------------------------------
// File dialogs

std::vector<FileFilter> ParseFileFilter(const std::wstring& filter)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        const size_t bar = filter.find(L'|', start);
        if (bar == std::wstring::npos) {
            parts.push_back(filter.substr(start));
            break;
        }
        parts.push_back(filter.substr(start, bar - start));
        start = bar + 1;
    }
    std::vector<FileFilter> out;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty()) break;
        FileFilter f;
        f.label = parts[i];
        size_t s = 0;
        const std::wstring& pats = parts[i + 1];
        for (;;) {
            const size_t semi = pats.find(L';', s);
            const std::wstring p = pats.substr(s, semi == std::wstring::npos ? std::wstring::npos : semi - s);
            if (!p.empty()) f.patterns.push_back(p);
            if (semi == std::wstring::npos) break;
            s = semi + 1;
        }
        out.push_back(std::move(f));
    }
    return out;
}

CFileDialog::CFileDialog(BOOL openFileDialog, const wchar_t* defExt, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, CWnd* parent)
    : m_open(openFileDialog),
      m_defExt(defExt ? defExt : L""),
      m_fileName(fileName ? fileName : L""),
      m_filter(filter ? filter : L""),
      m_parent(parent)
{
    m_ofn.Flags = flags;
}

INT_PTR CFileDialog::DoModal()
{
    FileDialogRequest req;
    req.open = m_open != FALSE;
    req.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : L"";
    req.defaultExt = m_defExt;
    req.fileName = m_fileName;
    req.filters = ParseFileFilter(m_filter);
    req.flags = m_ofn.Flags;

    FileDialogResponder responder;
    {
        std::lock_guard lock(g_responderMutex);
        responder = g_fileResponder;
    }
    std::optional<std::wstring> chosen;
    if (responder) {
        chosen = responder(req);
    } else if (!Headless()) {
        QFileDialog dlg(OwnerWidget(m_parent ? m_parent->m_hWnd : nullptr), QString::fromStdWString(req.title));
        dlg.setAcceptMode(req.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dlg.setFileMode((req.open && (req.flags & OFN_FILEMUSTEXIST)) ? QFileDialog::ExistingFile
                                                                      : QFileDialog::AnyFile);
        QStringList filters;
        for (const FileFilter& f : req.filters) filters << QtFilter(f);
        if (!filters.isEmpty()) dlg.setNameFilters(filters);
        if (!req.open) dlg.setDefaultSuffix(QString::fromStdWString(req.defaultExt));
        if (!(req.flags & OFN_OVERWRITEPROMPT)) dlg.setOption(QFileDialog::DontConfirmOverwrite);
        if (m_ofn.lpstrInitialDir) dlg.setDirectory(QString::fromWCharArray(m_ofn.lpstrInitialDir));
        if (!req.fileName.empty()) dlg.selectFile(QString::fromStdWString(req.fileName));
        const PopupLoopScope popup([&dlg] { dlg.reject(); });
        if (dlg.exec() == QDialog::Accepted && !popup.Ended() && !dlg.selectedFiles().isEmpty())
            chosen = dlg.selectedFiles().first().toStdWString();
    }
    if (!chosen || chosen->empty()) {
        m_path.clear();
        return IDCANCEL;
    }
    m_path = *chosen;
    if (!m_open && !m_defExt.empty() && !HasExtension(m_path)) m_path += L"." + m_defExt;
    return IDOK;
}

std::wstring CFileDialog::GetFileName() const
{
    const size_t slash = m_path.find_last_of(L'/');
    return slash == std::wstring::npos ? m_path : m_path.substr(slash + 1);
}

std::wstring CFileDialog::GetFileTitle() const
{
    const std::wstring name = GetFileName();
    const size_t dot = name.find_last_of(L'.');
    return (dot == std::wstring::npos || dot == 0) ? name : name.substr(0, dot);
}

std::wstring CFileDialog::GetFileExt() const
{
    const std::wstring name = GetFileName();
    const size_t dot = name.find_last_of(L'.');
    return (dot == std::wstring::npos || dot == 0) ? std::wstring() : name.substr(dot + 1);
}

std::wstring CFileDialog::GetFolderPath() const
{
    const size_t slash = m_path.find_last_of(L'/');
    return slash == std::wstring::npos ? std::wstring() : m_path.substr(0, slash);
}

// ---------------------------------------------------------------------------
// Scripted dialogs

struct ScriptedDialogs::State {
    std::mutex mutex;
    std::deque<int> boxAnswers;
    std::deque<std::optional<std::wstring>> fileAnswers;
    std::vector<MessageBoxRequest> boxes;
    std::vector<FileDialogRequest> files;
};

ScriptedDialogs::ScriptedDialogs() : m_state(std::make_shared<State>())
{
    std::shared_ptr<State> s = m_state;
    SetMessageBoxResponder([s](const MessageBoxRequest& req) {
        std::lock_guard lock(s->mutex);
        s->boxes.push_back(req);
        if (s->boxAnswers.empty()) return MessageBoxDefaultResult(req.style);
        const int r = s->boxAnswers.front();
        s->boxAnswers.pop_front();
        return r;
    });
    SetFileDialogResponder([s](const FileDialogRequest& req) -> std::optional<std::wstring> {
        std::lock_guard lock(s->mutex);
        s->files.push_back(req);
        if (s->fileAnswers.empty()) return std::nullopt;
        auto r = s->fileAnswers.front();
        s->fileAnswers.pop_front();
        return r;
    });
}

ScriptedDialogs::~ScriptedDialogs()
{
    SetMessageBoxResponder({});
    SetFileDialogResponder({});
}

void ScriptedDialogs::AnswerBox(int result)
{
    std::lock_guard lock(m_state->mutex);
    m_state->boxAnswers.push_back(result);
}

void ScriptedDialogs::AnswerFile(std::optional<std::wstring> path)
{
    std::lock_guard lock(m_state->mutex);
    m_state->fileAnswers.push_back(std::move(path));
}

std::vector<MessageBoxRequest> ScriptedDialogs::Boxes() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->boxes;
}

std::vector<FileDialogRequest> ScriptedDialogs::FileDialogs() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->files;
}

void ScriptedDialogs::Clear()
{
    std::lock_guard lock(m_state->mutex);
    m_state->boxAnswers.clear();
    m_state->fileAnswers.clear();
    m_state->boxes.clear();
    m_state->files.clear();
}
