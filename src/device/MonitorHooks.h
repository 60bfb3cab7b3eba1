#pragma once

// Calls the monitor decoder makes into the main window's parameter panel, at the points of the
// record where their values changed.
class ParameterPanelHooks {
public:
    virtual ~ParameterPanelHooks() = default;
    virtual void ZobrazPar(int sada) = 0;
    virtual void PorovnejZmenuPolohRele() = 0;
    virtual void PorovnejZmenuPolohySafe() = 0;
    // The working-torque selector of B `index` (10 or 27) shows no item.
    virtual bool workingTorqueUnselected(int index) const = 0;
};

// Everything the monitor decoder calls: the parameter panel and the version display.
class MonitorHooks : public ParameterPanelHooks {
public:
    virtual void ZobrazVerzi() = 0;
};
