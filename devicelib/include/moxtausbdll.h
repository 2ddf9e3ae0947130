/*
 * The device library: Zubrex USB-to-LIN adapters, the control boxes behind them, one configuration
 * session, .cfg files and firmware download.
 *
 * Statuses are signed 16-bit: negative is an error code (its name from lin_GetErrorMessage), zero or
 * positive is success. Booleans are integers whose low byte is 0 on failure. Texts are 8-bit and
 * zero-terminated. Every text written into a caller's buffer is cut to the size the caller passes and
 * always zero-terminated; nothing is written past that size, and a null buffer or a size below 1
 * gets nothing written.
 *
 * Box calls take the device number: 0 the master, 1 to 3 the slaves of a parallel system. They need
 * an open adapter with control-link usage 8; a device number that no box answers to times out (-2).
 */
#ifndef MOXTAUSBDLL_H
#define MOXTAUSBDLL_H

#include <stdint.h>

#if defined(MOXTA_BUILDING_LIBRARY)
#define MOXTA_API __attribute__((visibility("default")))
#else
#define MOXTA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Called during a download with the percentage done (0-100); return non-zero to go on. */
typedef int (*MoxtaProgressCallback)(int percent);

/* ---- Adapters ---- */

/* Number of adapters found (0-255); buf gets their names separated by TAB characters. */
MOXTA_API int16_t zbx_FindAllMoxtaDevices(char* buf, int32_t size);
/* Opens the named adapter, closing the one open before; fails for an adapter in use elsewhere.
   A freshly opened adapter has control-link usage 0. */
MOXTA_API int32_t zbx_OpenSpecificDevice(const char* name);
MOXTA_API void zbx_CloseDevice(void);
/* 0 sensing (zbx_GetData), 4 handset commands, 6 bootloader, 8 talking to boxes (refused by an
   adapter too old for configuration). */
MOXTA_API int32_t zbx_SetUsageOfControlLink(int32_t usage);
/* With usage 0: the low byte of the result is above 0x80 while a box answers on the adapter, and
   buf (8 bytes, may be null) gets the last frame seen. Otherwise, and on any failure, 0. */
MOXTA_API int32_t zbx_GetData(unsigned char* buf);
/* The open adapter's serial number in UTF-16LE, zero-terminated, cut to size bytes. */
MOXTA_API int32_t zbx_GetZubrexSerial(unsigned char* buf, int32_t size);
/* Lights the named adapter's green diode. */
MOXTA_API int32_t zbx_IdentifyZubrex(const char* name);

/* ---- The configuration session ---- */

/* Opens a fresh session of the layout type holding its defaults (closing any session open before);
   the number of 16-bit parameters, or -29 for an unknown type (the old session then stays). */
MOXTA_API int16_t lin_OpenConfig(const char* type, int32_t reserved1, int32_t reserved2);
MOXTA_API int16_t lin_CloseConfig(void);
/* 0 = success; -31 for a name the layout does not hold, -28 with no session open. */
MOXTA_API int16_t lin_GetConfig(const char* name, uint16_t* value);
MOXTA_API int16_t lin_GetConfigDefault(const char* name, uint16_t* value);
MOXTA_API int16_t lin_SetConfig(const char* name, uint16_t value);
MOXTA_API int16_t lin_GetStringConfig(const char* name, char* buf, int32_t size);
/* At most 231 characters (-16 beyond); no line breaks or other control characters (-24). */
MOXTA_API int16_t lin_SetStringConfig(const char* name, const char* text);
/* Name of the 16-bit parameter at index 0 to count - 1; -24 past the last. */
MOXTA_API int16_t lin_GetConfigNameExt(char* buf, int32_t size, int32_t index);
/* Name of memory block index; negative past the last block. */
MOXTA_API int16_t lin_GetConfigMemBlockName(char* buf, int32_t size, int32_t index);
/* Non-zero when the session is marked to program the factory defaults. */
MOXTA_API int32_t lin_GetConfigResetToDefaults(void);
MOXTA_API int16_t lin_SetConfigResetToDefaults(int32_t on);
/* Fills the session from a .cfg file (the session takes the file's layout type; parameters the file
   does not name get the layout's defaults); buf gets the firmware file name stored with it.
   -30 when the file cannot be read, -18 when it is no configuration (the session then stays). */
MOXTA_API int16_t lin_LoadConfig(const char* file, char* buf, int32_t size);
/* Writes the session to a .cfg file atomically, with the firmware file name (null: none). */
MOXTA_API int16_t lin_SaveConfig(const char* file, const char* hexFile, int32_t reserved);
/* The status's name, or "Unknown error code". */
MOXTA_API int16_t lin_GetErrorMessage(int16_t status, char* buf, int32_t size);

/* ---- Boxes ---- */

/* Reads the box's configuration into the session: 1 or more on success; -33 when the box's layout
   is not the session's. */
MOXTA_API int16_t lin_ReadConfigRunMode(uint8_t device, int32_t reserved);
/* Non-zero when the session's content came from a box or went into one. */
MOXTA_API int32_t lin_ConfigRunMode(void);
/* Programs the session into the box (the layout's defaults when the factory-defaults mark is set). */
MOXTA_API int16_t lin_ProgramConfigRunMode(uint8_t device, int32_t reserved1, int32_t reserved2);
MOXTA_API int16_t lin_RC_ActivateConfig(uint8_t device);
/* version in hundredths; a and b are always 0. */
MOXTA_API int16_t lin_RC_GetSoftwareVersion(uint8_t device, int32_t* software, uint16_t* version, uint16_t* a,
                                            uint16_t* b);
/* serial and date: 16-byte buffers. Result: low byte hardware ID, high byte revision. */
MOXTA_API int16_t lin_RC_GetProductionInfo(uint8_t device, char* serial, char* date);
/* buf: 64 bytes; byte 0 hardware ID, byte 1 product class. */
MOXTA_API int16_t lin_GetRC_ProductInfo(uint8_t device, unsigned char* buf);
MOXTA_API int16_t lin_RC_GetActivations32(uint8_t device, uint32_t* activations, uint32_t* sitStands);
/* 1 busy, 0 ready, negative when the box does not support the query. */
MOXTA_API int16_t lin_RC_GetConfigBusy(uint8_t device);
/* Command 22 (length 5 to 64): buf bytes 1-4 the powered seconds, little-endian.
   Device 129 (all boxes), command 0x8026, no data: resets the initialization lock; 0 on success. */
MOXTA_API int16_t lin_RC_DoAny(uint8_t device, uint16_t command, uint16_t length, unsigned char* buf);
/* buf: 64 bytes; ten 6-byte records (powered seconds u32, error code u16, little-endian), then 4 zero bytes. */
MOXTA_API int16_t lin_RC_GetErrors(uint8_t device, unsigned char* buf);
/* Switches the box into its bootloader (it stops answering box calls until an application runs). */
MOXTA_API int16_t lin_RC_GotoBootMode(uint8_t device);
/* With usage 4: sent three times as (78, 78), erases the memory positions stored in the boxes. */
MOXTA_API int16_t lin_SetHandsetCommand(uint8_t command1, uint8_t command2);

/* ---- Bootloader (usage 6, a box in its bootloader) ---- */

/* Downloads an Intel HEX file: -17 cannot open, -18 mangled (nothing is written), -52 no box in its
   bootloader; a download stopped by the progress callback leaves the box without application (-1). */
MOXTA_API int16_t nbl_Download(const char* hexFile, int32_t reserved1, MoxtaProgressCallback progress,
                               int32_t reserved2);
/* Starts the downloaded application; -19 when there is none. */
MOXTA_API int16_t nbl_ExecuteApp(void);
MOXTA_API int16_t nbl_ChangeSpeed(int32_t speed);

#ifdef __cplusplus
}
#endif

#endif
