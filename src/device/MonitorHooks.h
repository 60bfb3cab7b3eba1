#pragma once

// Calls the monitor decoder makes into the parameter panel and the service window, at the
// points of the record where their values changed.
class MonitorHooks {
public:
    virtual ~MonitorHooks() = default;
    virtual void ZobrazPar(int mode) = 0;
    virtual void PorovnejZmenuPolohRele() = 0;
    virtual void PorovnejZmenuPolohySafe() = 0;
    virtual void ZobrazVerzi() = 0;
    // The working-torque selector of B `index` (10 or 27) shows no item.
    virtual bool workingTorqueUnselected(int index) const = 0;
};
