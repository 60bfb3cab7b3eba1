#pragma once

#include <QString>
#include <QStringList>

// The translation dictionary: every key holds its Czech, English, Polish and Russian text.
// Built from texts.tsv (compiled in as a resource) on first use.

// Current language: 0 Czech, 1 English, 2 Polish, 3 Russian.
extern int LangIndex;

// Registers `texts` under `key`; a second registration appends behind the first texts.
void LangAdd(const QString& key, const QStringList& texts);

// The text of `key` in language LangIndex. A missing key or an index outside the key's
// texts yields the key itself (logged once per key), so a half-done update is never
// abandoned for want of a caption.
QString LangText(const QString& key);

// True when `key` is registered.
bool LangHasKey(const QString& key);

// Registered keys in order of registration.
QStringList LangKeys();

// The texts registered under `key` (empty when missing).
QStringList LangTexts(const QString& key);

// Texts of what the tool offers beyond the dictionary above (print preview, PDF export, its own
// notices), from additions.tsv, in language LangIndex; the key itself when missing. They never join
// the dictionary's keys.
QString LangAddedText(const QString& key);
QString LangAddedText(const char* key);
// Keys of additions.tsv in file order.
QStringList LangAddedKeys();
