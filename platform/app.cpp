// The application object, the system language, the screen resolution.
#include <QApplication>
#include <QScreen>

#include <atomic>
#include <clocale>
#include <cstdlib>
#include <map>

#include "platform/app.h"
#include "platform/graphics.h"
#include "platform/wnd_qt.h"

namespace {

CWinApp* g_app = nullptr;
std::atomic<int> g_cachedDpi{0};
std::atomic<bool> g_testDpi{false};  // set by SetScreenDpiForTests

std::atomic<double> g_globalScale{1.0};  // QT_SCALE_FACTOR, taken over from Qt

// Pixels stay pixels: controls are placed in code by the screen's DPI.
// Qt's scale factors (a desktop's scaling sets them) would enlarge every
// window past the screen its bucket was chosen for, so the program takes
// them over: a screen's factor leaves the DPI that reaches the screen as it
// is (Qt divides the logical DPI by it), the global factor multiplies it.
void PrepareEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_ENABLE_HIGHDPI_SCALING")) qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    bool ok = false;
    const double global = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    if (ok && global > 0) g_globalScale.store(global);
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
}

void NameApplication(const std::string& desktopName)
{
    if (desktopName.empty()) return;
    QCoreApplication::setApplicationName(QString::fromStdString(desktopName));
    QGuiApplication::setDesktopFileName(QString::fromStdString(desktopName));
}

void AfterApplicationCreated()
{
    std::setlocale(LC_NUMERIC, "C");
    InitUiQueue();
}

}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp()
{
    if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return m_exitCode; }

int CWinApp::Run(int argc, char** argv)
{
    static int s_argc = 0;
    s_argc = argc;
    if (QCoreApplication::instance()) {
        // An application object exists already (tests): use it.
        NameApplication(m_desktopName);
        AfterApplicationCreated();
        if (InitInstance()) m_exitCode = QApplication::exec();
        const int code = ExitInstance();
        DestroyAllWindows();
        return code;
    }
    PrepareEnvironment();
    NameApplication(m_desktopName);
    int code = 0;
    {
        QApplication app(s_argc, argv);
        AfterApplicationCreated();
        if (InitInstance()) m_exitCode = QApplication::exec();
        code = ExitInstance();
        DestroyAllWindows();
    }
    return code;
}

CWnd* AfxGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

bool EnsureUiApplication()
{
    if (QCoreApplication* app = QCoreApplication::instance()) {
        if (!qobject_cast<QApplication*>(app)) return false;
        InitUiQueue();
        return true;
    }
    PrepareEnvironment();
    if (gfx::Startup() != gfx::Ok || !qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    AfterApplicationCreated();
    return true;
}

// ---------------------------------------------------------------------------
// Language

LANGID LangIdFromLocaleName(const std::string& name)
{
    std::string s = name.substr(0, name.find_first_of(".@"));
    std::string lang = s.substr(0, s.find_first_of("_-"));
    std::string country = s.size() > lang.size() ? s.substr(lang.size() + 1) : std::string();
    for (char& ch : lang) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (char& ch : country) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));

    if (lang == "zh") {
        if (country == "TW") return 0x0404;
        if (country == "HK") return 0x0C04;
        return 0x0804;  // CN, SG and any other
    }
    struct Lang {
        LANGID primary;  // the language's usual id
        std::map<std::string, LANGID> byCountry;
    };
    // clang-format off
    static const std::map<std::string, Lang> table = {
        {"en", {0x0409, {{"GB", 0x0809}, {"AU", 0x0C09}, {"CA", 0x1009}, {"NZ", 0x1409}, {"IE", 0x1809}}}},
        {"de", {0x0407, {{"CH", 0x0807}, {"AT", 0x0C07}}}},
        {"fr", {0x040C, {{"BE", 0x080C}, {"CA", 0x0C0C}, {"CH", 0x100C}}}},
        {"es", {0x0C0A, {{"MX", 0x080A}}}},
        {"it", {0x0410, {{"CH", 0x0810}}}},
        {"pt", {0x0816, {{"BR", 0x0416}}}},
        {"nl", {0x0413, {{"BE", 0x0813}}}},
        {"ja", {0x0411, {}}},
        {"ko", {0x0412, {}}},
        {"ru", {0x0419, {}}},
        {"pl", {0x0415, {}}},
        {"sv", {0x041D, {}}},
        {"da", {0x0406, {}}},
        {"fi", {0x040B, {}}},
        {"nb", {0x0414, {}}},
        {"cs", {0x0405, {}}},
        {"hu", {0x040E, {}}},
        {"tr", {0x041F, {}}},
        {"el", {0x0408, {}}},
        {"uk", {0x0422, {}}},
        {"ar", {0x0401, {}}},
        {"he", {0x040D, {}}},
        {"th", {0x041E, {}}},
        {"vi", {0x042A, {}}},
    };
    // clang-format on
    auto it = table.find(lang);
    if (it == table.end()) return 0x0409;
    auto c = it->second.byCountry.find(country);
    return c != it->second.byCountry.end() ? c->second : it->second.primary;
}

LANGID GetSystemDefaultLangID()
{
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return LangIdFromLocaleName(v);
    }
    return 0x0409;
}

// ---------------------------------------------------------------------------
// Screen

int ReadScreenDpi()
{
    if (const char* forced = std::getenv("TARVEL_DPI")) {
        const int v = std::atoi(forced);
        if (v > 0) return v;
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            const int v = qRound(s->logicalDotsPerInchX() * g_globalScale.load());
            if (v > 0) return v;
        }
    }
    return 96;
}

int GetScreenDpi()
{
    int v = g_cachedDpi.load();
    if (v > 0) return v;
    v = ReadScreenDpi();
    // Before the application exists the value is not final.
    if (QCoreApplication::instance() || std::getenv("TARVEL_DPI")) g_cachedDpi.store(v);
    return v;
}

void SetScreenDpiForTests(int dpi)
{
    g_cachedDpi.store(dpi > 0 ? dpi : 0);
    g_testDpi.store(dpi > 0);
}

bool ScreenDpiIsForced()
{
    const char* forced = std::getenv("TARVEL_DPI");
    return g_testDpi.load() || (forced && std::atoi(forced) > 0);
}

void SetScreenDpi(int dpi)
{
    if (dpi > 0) g_cachedDpi.store(dpi);
}

RECT GetScreenWorkArea()
{
    RECT area;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return area;
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect g = s->availableGeometry();
        area = {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
    }
    return area;
}
