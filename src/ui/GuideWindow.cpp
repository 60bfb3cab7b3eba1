#include "ui/GuideWindow.h"

#include "lang/Lang.h"
#include "ui/GuideBrowser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString Contents = QStringLiteral("README.md");

// F1 in a window opens the section about it: its page and heading anchor in each guide.
struct WindowSection {
    const char* window;
    const char* english;
    const char* czech;
};

constexpr WindowSection Sections[] = {
    {"ServiceForm", "editing.md", "editing.md"},
    {"ParametryForm", "editing.md#changing-a-value", "editing.md#změna-hodnoty"},
    {"ChybyForm", "editing.md#changing-a-value", "editing.md#změna-hodnoty"},
    {"MomentForm", "calibrations.md#torque-against-a-test-bench-rows-w-0--w-3",
     "calibrations.md#moment-na-zkušební-stolici-řádky-w-0--w-3"},
    {"SnimacForm", "calibrations.md#position-sensors-rows-b-0--b-3",
     "calibrations.md#snímače-polohy-řádky-b-0--b-3"},
    {"PolohaForm",
     "calibrations.md#end-positions-relay-safe-and-cycle-positions-dw-0--1-w-8--12-w-15--18",
     "calibrations.md#krajní-polohy-polohy-relé-safe-a-taktu-dw-0--1-w-8--12-w-15--18"},
    {"PwmForm", "calibrations.md#cpt-output-w-6-and-w-7", "calibrations.md#výstup-cpt-w-6-a-w-7"},
    {"RSForm", "calibrations.md#control-signal-b-4-and-b-64",
     "calibrations.md#řídicí-signál-b-4-a-b-64"},
    {"MotorForm", "watching.md", "watching.md"},
    {"VystupyForm", "outputs-test.md", "outputs-test.md"},
    {"SetupForm", "connecting.md#choosing-the-port", "connecting.md#volba-portu"},
    {"TraceForm", "trend-and-trace.md#protocol-trace", "trend-and-trace.md#záznam-komunikace"},
    {"TrendForm", "trend-and-trace.md#trend", "trend-and-trace.md#průběh-veličin"},
    {"CompareForm", "records-and-compare.md#what-changed", "records-and-compare.md#co-se-změnilo"},
};

} // namespace

GuideWindow::GuideWindow(const QString& guideFolder, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_folder(guideFolder) {
    setObjectName(QStringLiteral("GuideWindow"));
    resize(820, 640);
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("GuideNotice"));
    m_notice->setWordWrap(true);
    m_browser = new GuideBrowser(this);
    m_browser->setObjectName(QStringLiteral("GuideBrowser"));
    m_back = new QPushButton(this);
    m_back->setObjectName(QStringLiteral("GuideBack"));
    m_contents = new QPushButton(this);
    m_contents->setObjectName(QStringLiteral("GuideContents"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_contents);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_notice);
    layout->addWidget(m_browser, 1);
    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_contents, &QPushButton::clicked, this, [this] { open(); });
    m_back->setEnabled(false);
    applyCaptions();
}

QString GuideWindow::installedGuide() {
    return QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                               .absoluteFilePath(QStringLiteral("../share/doc/kovr/guide")));
}

QString GuideWindow::findGuide() {
    for (const QString& folder : {installedGuide(), QStringLiteral(KOVR_GUIDE_SOURCE)})
        if (QFileInfo(folder + QStringLiteral("/en/") + Contents).isFile())
            return QDir::cleanPath(folder);
    return {};
}

QString GuideWindow::languageFolder(int language) {
    return language == 0 ? QStringLiteral("cs") : QStringLiteral("en");
}

QString GuideWindow::pageFor(const QString& windowName, int language) {
    for (const WindowSection& section : Sections)
        if (windowName == QLatin1String(section.window))
            return QString::fromUtf8(
                languageFolder(language) == QLatin1String("cs") ? section.czech : section.english);
    return Contents;
}

QStringList GuideWindow::windowsWithSections() {
    QStringList windows;
    for (const WindowSection& section : Sections)
        windows.append(QLatin1String(section.window));
    return windows;
}

void GuideWindow::applyCaptions() {
    setWindowTitle(LangAddedText(QStringLiteral("PriruckaTitulek")));
    m_back->setText(LangAddedText(QStringLiteral("PriruckaZpet")));
    m_contents->setText(LangAddedText(QStringLiteral("PriruckaObsah")));
    m_browser->setAccessibleName(windowTitle());
    // Polish and Russian have no guide of their own yet.
    const bool english = languageFolder(LangIndex) == QLatin1String("en") && LangIndex != 1;
    m_notice->setText(english ? LangAddedText(QStringLiteral("PriruckaAnglicky")) : QString());
    m_notice->setVisible(english);
}

void GuideWindow::open(const QString& page) {
    const QString target = page.isEmpty() ? Contents : page;
    const QString file = target.section(u'#', 0, 0);
    const QString anchor = target.section(u'#', 1);
    QUrl url = QUrl::fromLocalFile(
        QDir(m_folder).absoluteFilePath(languageFolder(LangIndex) + u'/' + file));
    if (!anchor.isEmpty()) url.setFragment(anchor);
    applyCaptions();
    m_browser->setSource(url, QTextDocument::MarkdownResource);
}
