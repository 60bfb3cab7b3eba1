#include "Session.h"

Session::Session(Prompter& prompter, ProgressSink& progress, const QString& iniPath,
                 QObject* parent)
    : QObject(parent)
    , m_port(PortDevices(iniPath))
    , m_scheduler({m_port, m_clock, prompter, progress, m_image, m_inputs, *this}) {}

void Session::start(const QString& portSetting) {
    m_scheduler.setPortSetting(portSetting);
    m_scheduler.KomunikaceStart();
}
