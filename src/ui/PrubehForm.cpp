#include "ui/PrubehForm.h"

#include "lang/Lang.h"

#include <QFrame>
#include <QGuiApplication>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

TPrubehForm::TPrubehForm(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("TPrubehForm"));
    applyCaptions();
    setModal(false);
    setFixedSize(313, 73);
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(8, 8, 297, 57);
    ProgressBar1 = new QProgressBar(frame);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setGeometry(16, 18, 265, 20);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
}

void TPrubehForm::applyCaptions() {
    setWindowTitle(LangText(QStringLiteral("Čekejte prosím")));
}

void TPrubehForm::setRange(int minimum, int maximum) {
    ProgressBar1->setRange(minimum, maximum);
}

void TPrubehForm::setPosition(int position) {
    ProgressBar1->setValue(std::clamp(position, ProgressBar1->minimum(), ProgressBar1->maximum()));
}

int TPrubehForm::position() const {
    return ProgressBar1->value();
}

int TPrubehForm::maximum() const {
    return ProgressBar1->maximum();
}

void TPrubehForm::show() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    QDialog::show();
}
