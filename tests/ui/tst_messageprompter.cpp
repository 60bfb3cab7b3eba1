// The program's own message boxes: their Yes/No buttons speak the chosen language, from the
// start and after a language change in the setup dialog. The boxes are built, never shown.

#include "app/Program.h"
#include "lang/Lang.h"
#include "ui/MessagePrompter.h"
#include "ui/SetupForm.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

// Button texts without their mnemonic.
QString buttonText(const QMessageBox& box, QMessageBox::StandardButton which) {
    const QAbstractButton* button = box.button(which);
    return button ? button->text().remove(u'&') : QStringLiteral("(none)");
}

} // namespace

class TestMessagePrompter : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { LangIndex = 0; }
    void buttonsInLanguage_data();
    void buttonsInLanguage();

private:
    // The program as it starts with kovr.ini's language `lang`, with its own prompter.
    std::unique_ptr<Program> start(int lang);
    MessagePrompter& prompter(Program& program);

    QTemporaryDir m_dir;
};

std::unique_ptr<Program> TestMessagePrompter::start(int lang) {
    QFile ini(m_dir.filePath(QStringLiteral("kovr.ini")));
    if (!ini.open(QIODevice::WriteOnly)) return nullptr;
    ini.write("[Setup]\nLang=" + QByteArray::number(lang) + "\n");
    ini.close();
    return std::make_unique<Program>(m_dir.path());
}

MessagePrompter& TestMessagePrompter::prompter(Program& program) {
    return dynamic_cast<MessagePrompter&>(program.prompter());
}

void TestMessagePrompter::buttonsInLanguage_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("yes");
    QTest::addColumn<QString>("no");
    QTest::newRow("Czech") << 0 << "Ano"
                           << "Ne";
    QTest::newRow("English") << 1 << "Yes"
                             << "No";
    QTest::newRow("Polish") << 2 << "Tak"
                            << "Nie";
    QTest::newRow("Russian") << 3 << "Да"
                             << "Нет";
}

void TestMessagePrompter::buttonsInLanguage() {
    QFETCH(int, language);
    QFETCH(QString, yes);
    QFETCH(QString, no);
    // Started in this language.
    std::unique_ptr<Program> program = start(language);
    QVERIFY(program);
    QCOMPARE(LangIndex, language);
    const QString question = LangText(QStringLiteral("ZapsatZmenu?"));
    std::unique_ptr<QMessageBox> box = prompter(*program).questionBox(question);
    QCOMPARE(box->text(), question);
    QCOMPARE(box->windowTitle(), QStringLiteral("KOVR"));
    QCOMPARE(box->icon(), QMessageBox::Warning);
    QCOMPARE(box->defaultButton(), box->button(QMessageBox::Yes));
    QCOMPARE(buttonText(*box, QMessageBox::Yes), yes);
    QCOMPARE(buttonText(*box, QMessageBox::No), no);

    // Switched to this language from another one in the setup dialog.
    box.reset(); // a child of the main window
    program.reset();
    program = start((language + 1) % 4);
    LangIndex = language;
    emit program->setupForm().captionsRequested();
    box = prompter(*program).questionBox(question);
    QCOMPARE(buttonText(*box, QMessageBox::Yes), yes);
    QCOMPARE(buttonText(*box, QMessageBox::No), no);
}

QTEST_MAIN(TestMessagePrompter)
#include "tst_messageprompter.moc"
