// Readers of older result files: versions 1.5 and 1.0 of this program and version
// 3.0 of the older sibling program (TPN). Each reads from the start of the stream
// into a fresh competition; the result-file load picks one by the signature.
#pragma once

#include "base/BvBase.h"
#include "file/VmErg.h"
#include "model/VmWettk.h"

#include <string>

namespace vm {

// Sizes of the older layouts.
inline constexpr std::size_t OldHeaderSize = 411;   // versions 1.5 and 1.0
inline constexpr std::size_t OldAgeClassSize = 464; // also the sibling's age class
inline constexpr std::size_t OldRecordEntrySize = 96;
inline constexpr std::size_t OldParticipantSizeV15 = 181;
inline constexpr std::size_t OldParticipantSizeV10 = 173;
inline constexpr std::size_t TpnHeaderSize = 253; // after the signature
inline constexpr int TpnAgeClassCount = 16;
inline constexpr std::size_t TpnParticipantSize = 184;

// A wrong list tag ends the reading: what was read before it stays and the read
// counts as done. Truncated data or an impossible count gives false (the caller
// discards the competition).
bool ReadV15(TStream& s, TWettkampf& into);
bool ReadV10(TStream& s, TWettkampf& into);
bool ReadTpn(TStream& s, TWettkampf& into);

// Dispatches by kind; false for a kind it does not read.
bool ReadOldResult(TResultKind kind, TStream& s, TWettkampf& into);

// The sibling program's composed title, e.g. "Einzelmeisterschaften auf Bezirksebene ".
std::string TpnTitle(int kind, int level);

} // namespace vm
