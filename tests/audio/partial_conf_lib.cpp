// A library with the first five functions of the audio chip interface only.
#include "platform/audio_chip_library.h"

extern "C" {
int ConfLibInit(void) { return 0; }
int CreateDeviceList(void) { return 0; }
int GetDeviceCount(int, std::int32_t* count) {
  *count = 0;
  return 0;
}
int GetDeviceById(int, int, BvxAudioEndpoint*) { return 1; }
int PropertyControl(BvxAudioEndpoint, const wchar_t*, void*, void*, int) { return 1; }
}
