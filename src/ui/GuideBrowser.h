#pragma once

#include <QTextBrowser>

// The guide's pages (Markdown) with their links: a link to another page opens it, and a link
// to a heading ("page.md#heading-anchor") scrolls to that heading, anchors being made of the
// headings as the pages' own Markdown viewers make them.
class GuideBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit GuideBrowser(QWidget* parent = nullptr);

    // "Torque against a test bench (rows W 0 … W 3)" ->
    // "torque-against-a-test-bench-rows-w-0--w-3": lower case, blanks to '-', everything but
    // letters, digits, '-' and '_' left out.
    static QString anchorOf(const QString& heading);
    // The anchors of the headings of a Markdown text, in order.
    static QStringList anchorsIn(const QString& markdown);

    // The heading a link or a section opened last, where the cursor stands; empty for none.
    QString currentHeading() const;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    void scrollToHeading(const QString& anchor);
};
