#pragma once
// The emulated audio chip library: the entry points besides the eleven of the chip interface.
// The store starts (and BvxEmuReset returns it) as the emulated headset: output endpoint
// {1, type 1, 0, state 1}, input {2, type 2, 0, state 1}; microphone 0.8 unmuted, monitoring 0.5
// muted, equaliser on and flat, voice changer off, the surround, noise and room properties and
// "Enable_MICECHO" unset. Reads answer "%g" text; reads of unset properties fail.
#include "platform/audio_chip_library.h"

extern "C" {

int ConfLibInit(void);
int CreateDeviceList(void);
int GetDeviceCount(int direction, std::int32_t* count);
int GetDeviceById(int direction, int index, BvxAudioEndpoint* endpoint);
int PropertyControl(BvxAudioEndpoint endpoint, const wchar_t* name, void* value, void* parameter, int write);
int RegisterCallbackFunction(void (*callback)(void*), void* context);
int ConfLibUnInit(void);
int ShowAsioPanel(void);
int PlayTestSound(void);
int StopTestSound(void);
int CloseTestSound(void);

void BvxEmuReset(void);
int BvxEmuSetEndpoints(int direction, const BvxAudioEndpoint* list, int count);
// The count GetDeviceCount reports (-1: the list's length).
void BvxEmuSetReportedCount(int direction, int count);
void BvxEmuSetInitResult(int result);
// A number ("%g" form) or null / "" for unset.
int BvxEmuSetProperty(const char* name, const char* value);
// Mode bit 0 fails reads, bit 1 writes, 0 clears; a null name clears every fault.
int BvxEmuFailProperty(const char* name, int mode);
// Reads of `name` copy these `count` characters as they are (no terminator added, at most the
// value buffer); count < 0 clears.
int BvxEmuSetRawAnswer(const char* name, const wchar_t* text, int count);
int BvxEmuSetFeatures(int direction, const char* text);
// Text into `out` (at most size - 1 bytes and a zero); returns the whole text's length.
// The write log: one line per accepted write, "in|out NAME VALUE [PARAMETER]".
int BvxEmuWriteLog(char* out, int size);
void BvxEmuClearLog(void);
// One line "NAME: VALUE" per settable property ("unset" when it holds none).
int BvxEmuDump(char* out, int size);

}  // extern "C"
