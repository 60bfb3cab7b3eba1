#include "link/LinkNotices.h"

#include "lang/Lang.h"

QString portUnavailableText(const Port::OpenProblem& problem) {
    QString text = LangText(QStringLiteral("Požadovaný COM port není k dispozici"));
    const QString device = problem.device;
    switch (problem.reason) {
    case Port::OpenFailure::None: return text;
    case Port::OpenFailure::Other:
        return problem.detail.isEmpty() ? text : text + u'\n' + problem.detail;
    case Port::OpenFailure::NotSerial:
        return text + u'\n' + LangAddedText(QStringLiteral("PortNeniSeriovy")).arg(device);
    case Port::OpenFailure::Absent:
        return text + u'\n' + LangAddedText(QStringLiteral("PortNeexistuje")).arg(device);
    case Port::OpenFailure::Busy:
        return text + u'\n' + LangAddedText(QStringLiteral("PortObsazen")).arg(device);
    case Port::OpenFailure::NoPermission:
        if (problem.group.isEmpty())
            return text + u'\n' + LangAddedText(QStringLiteral("PortBezOpravneni")).arg(device);
        // The command is the same in every language; it goes on a line of its own so that it
        // can be copied whole.
        return text + u'\n' +
               LangAddedText(QStringLiteral("PortBezSkupiny")).arg(device, problem.group) + u'\n' +
               QStringLiteral("sudo usermod -aG %1 $USER").arg(problem.group);
    }
    return text;
}

QString linkQuestionText(const QString& port, const QString& device, const QString& lostDevice) {
    QString question = LangText(QStringLiteral("ChybaKomunikace"));
    const QString tried =
        device.isEmpty() || device == port ? port : QStringLiteral("%1 (%2)").arg(port, device);
    question += u'\n' + LangAddedText(QStringLiteral("ZkousenyPort")).arg(tried);
    if (lostDevice.isEmpty()) return question;
    return question + u'\n' + LangAddedText(QStringLiteral("AdapterOdpojen")).arg(lostDevice);
}
