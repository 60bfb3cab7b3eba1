#include "session/TorqueBench.h"

#include "link/CommandScheduler.h"
#include "link/PollInputs.h"
#include "link/Prompter.h"
#include "params/Setup.h"

#include <optional>

namespace {

constexpr double MaximumMilliamps = 20.0;

// A bench signal in mA as the unit counts it (10000 for 20 mA), through the text of the
// product as the original conversion does: a value that is not a whole number of 0.0001 mA
// (more than four decimals) has no integer form.
std::optional<int> toUnitCount(double milliamps) {
    const QString product = QString::number(milliamps * 10000.0, 'g', 15);
    bool ok = false;
    const int whole = product.toInt(&ok);
    if (!ok) return std::nullopt;
    return whole / 20;
}

int itemIndex(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

} // namespace

TorqueBench::TorqueBench(CommandScheduler& scheduler, PollInputs& inputs, Prompter& prompter)
    : m_scheduler(scheduler)
    , m_inputs(inputs)
    , m_prompter(prompter) {}

int TorqueBench::sense() const {
    return m_inputs.torqueBenchSense;
}
void TorqueBench::setSense(int item) {
    m_inputs.torqueBenchSense = item;
}
int TorqueBench::method() const {
    return m_inputs.torqueMethod;
}
void TorqueBench::setMethod(int item) {
    m_inputs.torqueMethod = item;
}

void TorqueBench::load(const TSetup& setup) {
    cells = {
        {{setup.Stolice_50_O, setup.Stolice_100_O}, {setup.Stolice_50_C, setup.Stolice_100_C}}};
    setSense(itemIndex(setup.Stolice_Smysl));
    setMethod(itemIndex(setup.Zpusob_Kal));
}

void TorqueBench::store(TSetup& setup) const {
    setup.Stolice_50_O = cells[0][0];
    setup.Stolice_100_O = cells[0][1];
    setup.Stolice_50_C = cells[1][0];
    setup.Stolice_100_C = cells[1][1];
    setup.Stolice_Smysl = QString::number(sense());
    setup.Zpusob_Kal = QString::number(method());
}

bool TorqueBench::KontrolaMomStolice(const QLocale& userLocale) {
    QLocale locale = userLocale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = true;
    double x = 0; // a cell that is not a number keeps the previous cell's value
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            const QString& text = cells[col][row];
            bool parsed = false;
            const double value = locale.toDouble(text, &parsed);
            if (!parsed) {
                m_prompter.message(QStringLiteral("Chybná hodnota pro Moment stolice 50%"),
                                   Prompter::Icon::Error);
                ok = false;
            } else {
                x = value;
                if (x > MaximumMilliamps) {
                    m_prompter.message(QStringLiteral("Moment stolice 50% je větší než 20 mA"),
                                       Prompter::Icon::Error);
                    ok = false;
                }
                if (x < 0) {
                    m_prompter.message(QStringLiteral("Moment stolice 50% je záporná hodnota"),
                                       Prompter::Icon::Error);
                    ok = false;
                }
            }
            const std::optional<int> count = toUnitCount(x);
            if (!count) {
                m_prompter.message(QStringLiteral("Hodnotu Moment stolice \"%1\" nelze převést: "
                                                  "nejvýše 4 desetinná místa")
                                       .arg(text),
                                   Prompter::Icon::Error);
                return false;
            }
            m_inputs.momentStolice[col + 1][row] = *count;
        }
    }
    return ok;
}

void TorqueBench::calibrate(Point point, const QLocale& locale) {
    if (point != Stop && !KontrolaMomStolice(locale)) return;
    m_inputs.torquePoint = point;
    m_scheduler.KomPovel(CommandScheduler::TorquePoint);
}
