#pragma once

// The data module: fixed names for device library statuses and box hardware IDs.

#include <QObject>
#include <QString>

#include <cstdint>

namespace device {

// The text of a device library status; "Unknown error code" for a status without a name.
QString statusName(int16_t status);

// The designation of a box hardware ID; "UNKNOWN" for an ID without an entry.
QString hardwareDesignation(uint8_t hardwareId);

// How many hardware IDs have a designation.
int hardwareDesignationCount();

} // namespace device

// Created once at start-up, after the small windows; other windows ask it for names.
class TDM : public QObject
{
    Q_OBJECT

public:
    explicit TDM(QObject* parent = nullptr);

    QString statusName(int16_t status) const { return device::statusName(status); }
    QString hardwareDesignation(uint8_t hardwareId) const { return device::hardwareDesignation(hardwareId); }
};
