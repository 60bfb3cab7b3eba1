#include "MainWindow.h"

#include "MonitorDisplay.h"

#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("KOVR"));
    QMenu* vyrobce = menuBar()->addMenu(QStringLiteral("Výrobce"));
    m_lineErrors = vyrobce->addAction(QStringLiteral("Chyby komunikace"));
    m_lineErrors->setCheckable(true);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    m_position = new QLabel(central);
    m_records = new QLabel(central);
    QFont big = m_position->font();
    big.setPointSize(big.pointSize() * 2);
    m_position->setFont(big);
    layout->addWidget(m_position);
    layout->addWidget(m_records);
    layout->addStretch();
    setCentralWidget(central);
    const int widths[] = {50, 50};
    for (int i = 0; i < 2; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setMinimumWidth(widths[i]);
        m_panels[i]->setAlignment(i == 0 ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
        statusBar()->addWidget(m_panels[i]);
    }
    resize(480, 200);
}

void MainWindow::setStatusText(int panel, const QString& text) {
    if (panel >= 0 && panel < 2) m_panels[panel]->setText(text);
}

QString MainWindow::statusText(int panel) const {
    return panel >= 0 && panel < 2 ? m_panels[panel]->text() : QString();
}

void MainWindow::showMonitor(const MonitorDisplay& display) {
    ++m_recordCount;
    m_position->setText(
        QStringLiteral("%1 %  %2").arg(display.Gauge1.value / 100.0, 0, 'f', 2).arg(display.Edit1));
    m_records->setText(QString::number(m_recordCount));
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        emit firstShown();
    }
}
