#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "regular_file.h"

namespace vobsub {

// Gathers the sub-picture of sub-stream 0x20 + `language` whose packets start at
// `position` in a ".sub" (an MPEG program stream): the payloads of its private stream 1
// packets, in order, up to the size the sub-picture declares (at most 65,535 bytes).
// Pack headers (MPEG-1 and MPEG-2, with stuffing), packets of other streams and junk
// between packets are passed over; no packet is looked for at or after `limit`.
// False, with `problem` telling why, when the sub-picture is not there whole. Adds to
// `work` what the search cost: bytes scanned and copied, and a share for each start code.
bool ReadSubPicture(RegularFile& sub, int64_t position, int64_t limit, int32_t language,
                    std::vector<uint8_t>& bytes, std::string& problem, int64_t& work);

}  // namespace vobsub
