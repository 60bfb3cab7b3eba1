#include "ui/ParameterDisplay.h"

#include "image/DeviceImage.h"
#include "params/ParameterCatalogue.h"
#include "ui/ParameterPanel.h"
#include "ui/ParametryForm.h"

ParameterDisplay::ParameterDisplay(const DeviceImage& image, ParameterPanel& panel,
                                   TParametryForm& dialog)
    : m_image(image)
    , m_panel(panel)
    , m_dialog(dialog) {}

void ParameterDisplay::ZobrazPar(int sada) {
    // The dialog first, then the main window's selectors, relay rows and variant.
    m_dialog.showSet(sada);
    m_panel.ZobrazPar(sada);
    m_dialog.OdblokujParReg(m_image.ParB[sada][ParameterCatalogue::Variant]);
}

void ParameterDisplay::PorovnejZmenuPolohRele() {
    m_panel.PorovnejZmenuPolohRele();
}

void ParameterDisplay::PorovnejZmenuPolohySafe() {
    m_panel.PorovnejZmenuPolohySafe();
}

bool ParameterDisplay::workingTorqueUnselected(int index) const {
    return m_panel.workingTorqueUnselected(index);
}

void ParameterDisplay::OdblokujParReg(int provedeni) {
    m_panel.OdblokujParReg(provedeni);
    m_dialog.OdblokujParReg(provedeni);
}
