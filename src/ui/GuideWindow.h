#pragma once

#include <QString>
#include <QWidget>

class GuideBrowser;
class QLabel;
class QPushButton;

// The technician's guide inside the program: its Markdown pages in a browser of their own (no
// web browser, no network), in Czech or English; Polish and Russian read the English guide
// with a line saying so.
class GuideWindow : public QWidget {
    Q_OBJECT
public:
    // `guideFolder` holds a folder per language ("cs", "en").
    explicit GuideWindow(const QString& guideFolder, QWidget* parent = nullptr);

    // Where the guide is: beside the installed program (share/doc/kovr/guide), else in the
    // source tree this program was built from; empty when neither has it.
    static QString findGuide();
    // Where the installed program's guide is: share/doc/kovr/guide beside its bin folder.
    static QString installedGuide();
    // The folder of the language the guide is read in: "cs" for Czech, else "en".
    static QString languageFolder(int language);
    // The page, and its section, that F1 opens in the window named `windowName` (its object
    // name), in the guide of `language`; the contents for a window without a section of its own.
    static QString pageFor(const QString& windowName, int language);
    // The windows that have a section of their own.
    static QStringList windowsWithSections();

    void applyCaptions();
    // Shows `page` of the chosen language ("calibrations.md#…"; the contents without one).
    void open(const QString& page = QString());

    GuideBrowser* browser() const { return m_browser; }
    QLabel* notice() const { return m_notice; }

private:
    QString m_folder;
    QLabel* m_notice = nullptr;
    GuideBrowser* m_browser = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_contents = nullptr;
};
