#include "lang/Lang.h"

#include <QFile>
#include <QHash>
#include <QLoggingCategory>
#include <QSet>

Q_LOGGING_CATEGORY(lcLang, "kovr.lang")

int LangIndex = 0;

// The dictionary lives in a static library: its resource must be registered by hand.
static void registerTextsResource() {
    Q_INIT_RESOURCE(lang);
}

namespace {

struct Dictionary {
    QHash<QString, QStringList> texts;
    QStringList order;
    QSet<QString> reported;
};

// A table: key, cs, en, pl, ru separated by tabs; "\r\n" in a text stands for a line break.
void loadTable(Dictionary& dict, const QString& resource = QStringLiteral(":/lang/texts.tsv")) {
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcLang) << "dictionary resource missing:" << resource;
        return;
    }
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray& raw : lines) {
        if (raw.isEmpty() || raw.startsWith('#')) continue;
        QStringList fields = QString::fromUtf8(raw).split(QLatin1Char('\t'));
        const QString key = fields.takeFirst();
        for (QString& text : fields)
            text.replace(QStringLiteral("\\r\\n"), QStringLiteral("\r\n"));
        if (!dict.texts.contains(key)) dict.order.append(key);
        dict.texts[key].append(fields);
    }
}

Dictionary& dictionary() {
    static Dictionary dict = [] {
        registerTextsResource();
        Dictionary d;
        loadTable(d);
        return d;
    }();
    return dict;
}

Dictionary& additions() {
    static Dictionary dict = [] {
        registerTextsResource();
        Dictionary d;
        loadTable(d, QStringLiteral(":/lang/additions.tsv"));
        return d;
    }();
    return dict;
}

} // namespace

void LangAdd(const QString& key, const QStringList& texts) {
    Dictionary& dict = dictionary();
    if (!dict.texts.contains(key)) dict.order.append(key);
    dict.texts[key].append(texts);
}

QString LangText(const QString& key) {
    Dictionary& dict = dictionary();
    const auto it = dict.texts.constFind(key);
    if (it != dict.texts.constEnd() && LangIndex >= 0 && LangIndex < it->size())
        return it->at(LangIndex);
    if (!dict.reported.contains(key)) {
        dict.reported.insert(key);
        qCWarning(lcLang) << "no text for" << key << "in language" << LangIndex;
    }
    return key;
}

bool LangHasKey(const QString& key) {
    return dictionary().texts.contains(key);
}

QStringList LangKeys() {
    return dictionary().order;
}

QStringList LangTexts(const QString& key) {
    return dictionary().texts.value(key);
}

QString LangAddedText(const QString& key) {
    const QStringList texts = additions().texts.value(key);
    return LangIndex >= 0 && LangIndex < texts.size() ? texts.at(LangIndex) : key;
}

QString LangAddedText(const char* key) {
    return LangAddedText(QString::fromLatin1(key));
}

QStringList LangAddedKeys() {
    return additions().order;
}
