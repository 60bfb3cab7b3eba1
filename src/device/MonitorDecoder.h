#pragma once

#include "device/MonitorDisplay.h"

#include <QByteArray>
#include <QString>

struct DeviceImage;
class ServiceSheet;
class MonitorHooks;

// ZobrazMonitor: decodes one monitor record (the 66-character data field of reply "80") into
// the device image, the monitoring display and the service sheet, and moves the parameter and
// text cursors on from what the unit echoed.
class MonitorDecoder {
public:
    static constexpr int RecordLength = 66;

    MonitorDecoder(DeviceImage& image, MonitorDisplay& display, ServiceSheet& sheet,
                   MonitorHooks& hooks, const bool& zapisZeSouboru);

    // A record shorter than 66 characters is not decoded: its tail would be the checksum.
    void ZobrazMonitor(const QByteArray& data);

    static QString NapisReset(int code);
    // Dictionary key of an error code 0..41; empty outside.
    static QString errorNameKey(int code);
    static QString autocalibrationText(int code);
    // Text of the unit's variant (B 6) for the status bar.
    static QString variantText(int variant);

private:
    int field(int position, int digits) const;
    void position();
    void controlSignal();
    void torque(int status);
    // The two torque gauges (O opening, Z closing) and the torque switches' flags of a record.
    struct TorqueGauges {
        MonitorDisplay::Gauge& o;
        MonitorDisplay::Gauge& z;
        bool flagO;
        bool flagZ;
    };
    void measuredTorque(int m, const TorqueGauges& gauges);
    void switchedTorque(int m, const TorqueGauges& gauges);
    void showTorqueSide(const TorqueGauges& gauges, bool sideO, double percent, bool withNm);
    void showTorqueDeadZone(const TorqueGauges& gauges);
    void checkBoxes(int status);
    void motion();
    void errorSlot();
    void ioSlot();
    void parameterSlot();
    void storeByte(int index, int type, quint32 value);
    void storeWord(int index, int type, quint32 value);
    void storeDoubleWord(int index, int type, quint32 value);
    void writeFlagCells(int kind, int index, bool present, bool faulty);
    void writeValueCells(int kind, int index, const QString& text, bool changed);
    void advanceParameterCursor(int index, int kind);
    void counterSlot();
    void informationSlot();
    void textSlot();

    DeviceImage& m_image;
    MonitorDisplay& m_display;
    ServiceSheet& m_sheet;
    MonitorHooks& m_hooks;
    const bool& m_zapisZeSouboru;
    QByteArray m_record;
};
