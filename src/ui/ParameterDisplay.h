#pragma once

#include "device/MonitorHooks.h"

class ParameterPanel;
class TParametryForm;
struct DeviceImage;

// The parameter display both windows share: ZobrazPar shows a value set on the parameters
// dialog and on the main window's parameter panel, and OdblokujParReg offers the controls of a
// variant on both. The monitor decoder calls it through the session; the dialog calls it when
// it becomes active and when its variant list changes.
class ParameterDisplay : public ParameterPanelHooks {
public:
    ParameterDisplay(const DeviceImage& image, ParameterPanel& panel, TParametryForm& dialog);

    void ZobrazPar(int sada) override;
    void PorovnejZmenuPolohRele() override;
    void PorovnejZmenuPolohySafe() override;
    bool workingTorqueUnselected(int index) const override;
    void OdblokujParReg(int provedeni);

private:
    const DeviceImage& m_image;
    ParameterPanel& m_panel;
    TParametryForm& m_dialog;
};
