#include "ui/GuideBrowser.h"

#include <QRegularExpression>
#include <QScrollBar>
#include <QTextBlock>
#include <QUrl>

GuideBrowser::GuideBrowser(QWidget* parent)
    : QTextBrowser(parent) {
    setOpenLinks(true);
    setOpenExternalLinks(false); // no web browser, no network
}

QString GuideBrowser::anchorOf(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.trimmed().toLower())
        if (c.isLetterOrNumber() || c == u'-' || c == u'_')
            anchor += c;
        else if (c == u' ')
            anchor += u'-';
    return anchor;
}

QStringList GuideBrowser::anchorsIn(const QString& markdown) {
    static const QRegularExpression heading(QStringLiteral("^#{1,6}\\s+(.*)$"),
                                            QRegularExpression::MultilineOption);
    QStringList anchors;
    for (const QRegularExpressionMatch& m : heading.globalMatch(markdown))
        anchors.append(anchorOf(m.captured(1)));
    return anchors;
}

void GuideBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    // The pages are Markdown whatever the caller guessed; pictures load as they are.
    const bool page = name.path().endsWith(QLatin1String(".md"), Qt::CaseInsensitive);
    QUrl withoutAnchor = name;
    withoutAnchor.setFragment(QString());
    if (page && withoutAnchor != source()) {
        QTextBrowser::doSetSource(withoutAnchor, QTextDocument::MarkdownResource);
    } else if (!page) {
        QTextBrowser::doSetSource(name, type);
        return;
    }
    if (name.hasFragment()) {
        scrollToHeading(name.fragment());
    } else {
        setTextCursor(QTextCursor(document()));
        verticalScrollBar()->setValue(0);
    }
}

void GuideBrowser::scrollToHeading(const QString& anchor) {
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || anchorOf(block.text()) != anchor) continue;
        QTextCursor cursor(block);
        setTextCursor(cursor);
        // The heading at the top of the view, not just somewhere in it.
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
        ensureCursorVisible();
        return;
    }
}

QString GuideBrowser::currentHeading() const {
    const QTextBlock block = textCursor().block();
    return block.blockFormat().headingLevel() > 0 ? block.text() : QString();
}
