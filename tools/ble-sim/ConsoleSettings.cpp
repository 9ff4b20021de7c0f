#include "ConsoleSettings.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

bool readUInt(const QVariant& value, quint32* out)
{
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    if (!ok || number < 0 || number > 0xFFFFFFFFLL)
        return false;
    *out = quint32(number);
    return true;
}

} // namespace

bool ConsoleSettings::isValidAddress(const QString& address)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2}){5}$"));
    return pattern.match(address).hasMatch();
}

bool ConsoleSettings::parse(const QVariantMap& spec, QString* error)
{
    static const QStringList chunkings = {QStringLiteral("20"), QStringLiteral("12+8"),
                                          QStringLiteral("25"), QStringLiteral("40")};
    static const QStringList connectModes = {
        QStringLiteral("ok"), QStringLiteral("fail"), QStringLiteral("drop-before-resolve"),
        QStringLiteral("drop-during-discovery"), QStringLiteral("no-answer")};

    const QString addressText = spec.value(QStringLiteral("address")).toString();
    if (!isValidAddress(addressText)) {
        *error = QStringLiteral("\"address\" must be six hexadecimal pairs separated by colons");
        return false;
    }
    address = addressText.toUpper();

    for (auto it = spec.cbegin(); it != spec.cend(); ++it) {
        const QString& key = it.key();
        const QVariant& value = it.value();
        bool ok = true;
        if (key == QLatin1String("address")) {
            continue;
        } else if (key == QLatin1String("name")) {
            name = value.toString();
        } else if (key == QLatin1String("advertiseFtms")) {
            advertiseFtms = value.toBool();
        } else if (key == QLatin1String("ftmsService")) {
            ftmsService = value.toBool();
        } else if (key == QLatin1String("notify")) {
            notify = value.toBool();
        } else if (key == QLatin1String("cccd")) {
            cccd = value.toBool();
        } else if (key == QLatin1String("resistance")) {
            resistance = value.toBool();
        } else if (key == QLatin1String("startDistance")) {
            ok = readUInt(value, &startDistance) && startDistance <= 0xFFFFFF;
        } else if (key == QLatin1String("rowing")) {
            ok = value.canConvert<bool>();
            rowing = value.toBool();
        } else if (key == QLatin1String("speed")) {
            speed = value.toDouble(&ok);
            ok = ok && speed >= 0;
        } else if (key == QLatin1String("strokeRate")) {
            ok = readUInt(value, &strokeRate);
        } else if (key == QLatin1String("strokeCount")) {
            ok = readUInt(value, &strokeCount) && strokeCount <= 0xFFFF;
        } else if (key == QLatin1String("intervalMs")) {
            ok = readUInt(value, &intervalMs) && intervalMs > 0;
        } else if (key == QLatin1String("chunking")) {
            chunking = value.toString();
            ok = chunkings.contains(chunking);
        } else if (key == QLatin1String("connectFailures")) {
            ok = readUInt(value, &connectFailures);
        } else if (key == QLatin1String("connectMode")) {
            connectMode = value.toString();
            ok = connectModes.contains(connectMode);
        } else if (key == QLatin1String("dropAfterMs")) {
            ok = readUInt(value, &dropAfterMs);
        } else if (key == QLatin1String("startNotifyFails")) {
            startNotifyFails = value.toBool();
        } else if (key == QLatin1String("cccdReadFails")) {
            cccdReadFails = value.toBool();
        } else if (key == QLatin1String("visible")) {
            visible = value.toBool();
        } else if (key == QLatin1String("discoverDelayMs")) {
            ok = readUInt(value, &discoverDelayMs);
        } else {
            *error = QStringLiteral("unknown key \"%1\"").arg(key);
            return false;
        }
        if (!ok) {
            *error = QStringLiteral("bad value for \"%1\": %2").arg(key, value.toString());
            return false;
        }
    }
    return true;
}
