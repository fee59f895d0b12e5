#pragma once
// The codes of the 64-byte command protocol: command codes, result codes and the report layout.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace brimvex::hid {

// Result of an exchange and of every command. Callers compare with RESULT_OK only.
inline constexpr int RESULT_OK = 1;
inline constexpr int RESULT_FAILED = 0;
inline constexpr int RESULT_SEND_FAILED = -1;
inline constexpr int RESULT_LINK_DOWN = -101;
inline constexpr int RESULT_DEVICE_FF = -102;
inline constexpr int RESULT_DEVICE_FE = -103;
inline constexpr int RESULT_BAD_PAGE = -201;

// The name of a result code ("RESULT_OK" ...), or "RESULT_UNKNOWN".
std::string_view ResultName(int result);

inline constexpr std::uint8_t CMD_BEGIN = 0x01;
inline constexpr std::uint8_t CMD_END = 0x02;
inline constexpr std::uint8_t CMD_READ_INFO = 0x03;
inline constexpr std::uint8_t CMD_READ_PARAM = 0x05;
inline constexpr std::uint8_t CMD_WRITE_PARAM = 0x06;
inline constexpr std::uint8_t CMD_READ_KEYMAP = 0x07;
inline constexpr std::uint8_t CMD_WRITE_KEYMAP = 0x09;
inline constexpr std::uint8_t CMD_WRITE_KEY_COLORS = 0x0B;
inline constexpr std::uint8_t CMD_STREAM_KEY_COLORS = 0x12;
inline constexpr std::uint8_t CMD_WRITE_MACROS = 0x15;
inline constexpr std::uint8_t CMD_WRITE_SHOOT = 0x17;
inline constexpr std::uint8_t CMD_READ_STATUS = 0x1A;
inline constexpr std::uint8_t CMD_READ_KEY_POSITIONS = 0x1B;
inline constexpr std::uint8_t CMD_LIGHT_CONTROL = 0x1C;
inline constexpr std::uint8_t CMD_LINK_QUERY = 0xAA;

// Report layout: ID, checksum (LE16 over bytes 3..63), code, length, offset (LE16), status, data.
inline constexpr std::size_t kReportSize = 64;
inline constexpr std::uint8_t kCommandReportId = 0x04;
inline constexpr std::size_t kOffsetChecksum = 1;
inline constexpr std::size_t kOffsetCode = 3;
inline constexpr std::size_t kOffsetLength = 4;
inline constexpr std::size_t kOffsetAddress = 5;
inline constexpr std::size_t kOffsetStatus = 7;
inline constexpr std::size_t kOffsetData = 8;
inline constexpr std::size_t kMaxData = kReportSize - kOffsetData;  // 56
inline constexpr std::uint8_t kStatusFF = 0xFF;
inline constexpr std::uint8_t kStatusFE = 0xFE;
// Byte 3 of a receiver's answer for a wireless device it cannot reach.
inline constexpr std::uint8_t kLinkDownMark = 0xAA;

inline constexpr std::uint16_t kMaxKeyMapSize = 512;
// The mouse does not report the size of its recoil area (CMD_WRITE_SHOOT); it holds this many bytes.
inline constexpr std::size_t kMouseRecoilCapacity = 4096;
inline constexpr std::uint8_t kChunkWired = 56;
inline constexpr std::uint8_t kChunkReceiver = 24;

}  // namespace brimvex::hid
