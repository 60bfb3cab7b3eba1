#pragma once

#include <QByteArray>
#include <QStringList>

// The outputs test: the unit's relays, LED and CPT output set by hand. The radio groups' items
// are the unit's own Czech names and are never translated.
namespace OutputsTest {

// Items of the radio groups "Relé (KOVR.ED)" (RadioGroup1), "CPT" (RadioGroup3) and
// "LED" (RadioGroup2).
QStringList relayItems();
QStringList cptItems();
QStringList ledItems();

// Relay word of relay item 0..9: none for "VYPNUTO", else the relay of the item alone.
int relayWord(int item);
// CPT word of CPT item 0..2: 0 %, 50 % and 100 % of the output's 10-bit range.
int cptWord(int item);

// The data of the outputs poll (OutputsPoll): relay word, CPT word, LED item and 24 "*".
QByteArray pollData(int relayItem, int cptItem, int ledItem);

// Row captions (column 0) of the input grids StringGrid2 and StringGrid3, rows 0..7.
QStringList inputs2Captions();
QStringList inputs3Captions();

} // namespace OutputsTest
