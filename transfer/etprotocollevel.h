#pragma once

// The order protocol's levels (major * 10 + minor, "1.6" is 16) from which
// requests and replies change.
namespace ETProtocolLevel
{
enum Level : int {
    // The declaration carries the payment and its data; customers have a
    // company name and a state or province.
    V1_5 = 15,
    // Replies are read in the encoding they declare, not as Latin-1; card
    // data has a validation code; a registration sends the newer empty
    // fields; order positions may ignore the picture's size.
    V1_6 = 16,
    // Order positions carry the picture's own file name.
    V1_7 = 17,
    // Customers have a title and a part of town.
    V1_8 = 18
};
} // namespace ETProtocolLevel
