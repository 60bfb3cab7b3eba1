#pragma once

#include "link/TransferSteps.h"

#include <QList>
#include <QString>
#include <functional>

struct DeviceImage;

// TParZapis: a queue of segments and its progress counters.
struct TParZapis {
    QList<TUsek> Usek;
    qint32 Pocet = 0;  // items queued since the queue was last found empty
    qint32 Prubeh = 0; // items acknowledged in the current transfer
};

// Everything the tool changes in the unit goes through this queue: parameter values, unit
// functions, counter resets and production-data texts, one item per request (states 110/111).
class ParameterTransfer : public TransferSteps {
public:
    // Segment kinds (Typ).
    enum Kind {
        KindB = 0,
        KindW = 1,
        KindDW = 2,
        UnitFunction = 13,
        CounterReset = 14,
        Texts = 15
    };
    // Characters of a production-data text in one write request.
    static constexpr int TextWidth = 10;

    explicit ParameterTransfer(DeviceImage& image);

    // The text of production-data field `field` as the service window shows it.
    void setProductionText(std::function<QString(int field)> text) {
        m_productionText = std::move(text);
    }

    // Appends a segment; the requester then asks for TransferOpen with KomPovel.
    void NastavZapisPar(int start, int stop, int typ, bool prCS);
    void NactiZapPar();

    // Write-from-file mode: a loaded parameter file fills the service window. The reference
    // stays valid for the transfer's life, for the displays that follow the mode.
    const bool& ZapisZeSouboru() const { return m_zapisZeSouboru; }
    // Enters or leaves the mode; the observer hears of every change.
    void setZapisZeSouboru(bool on);
    void setModeObserver(std::function<void(bool zapisZeSouboru)> observer) {
        m_modeObserver = std::move(observer);
    }
    // The selection of "Zápis ze souboru" (0 "Omezení", 1 "Výměna snímače") that decides
    // which parameters a loaded file may change.
    int writeFromFileSelection = 0;

    TParZapis ParZapis;
    TParZapis ParZapisKopie;
    qint32 ZapStart = -1;
    qint32 ZapStop = -1;
    qint32 ZapTyp = 0;
    bool ZapCS = false;
    qint32 ZapIndex = 0;

    // Ends the transfer at the next acknowledgement: the item in flight is written, the items
    // after it stay queued as when the link gives up, and the write sequence closes as after
    // its last item.
    void stopAfterItemInFlight() { m_stopRequested = true; }
    bool stopRequested() const { return m_stopRequested; }

    void begin() override;
    int total() const override { return ParZapis.Pocet; }
    int progress() const override { return ParZapis.Prubeh; }
    int itemIndex() const override { return ZapIndex; }
    QByteArray itemPayload() const override;
    Reply itemReply(QByteArrayView code, QByteArrayView data) override;
    void abandon() override;
    QList<TUsek> lastRequest() const override { return ParZapisKopie.Usek; }

    // The code the unit acknowledges an item of the current segment with.
    QByteArrayView acceptedCode() const;

private:
    QByteArray parameterPayload(int kind) const;
    QByteArray textPayload() const;
    bool parameterWritable(int kind) const;

    DeviceImage& m_image;
    std::function<QString(int)> m_productionText;
    bool m_stopRequested = false;
    bool m_zapisZeSouboru = false;
    std::function<void(bool)> m_modeObserver;
};
