#pragma once
// The entry points of libquibsum-network.so, the piece of the program that downloads rates. It
// holds libcurl and everything libcurl loads (TLS, name resolution, compression), which a
// command pays for only when it downloads something.

namespace quibsum {

class RateRequester;

struct NetworkEntryPoints {
    // A new CurlRateRequester, owned by the caller.
    RateRequester* (*newRequester)();
    // CurlRateRequester::cancel on a requester from newRequester.
    void (*cancel)(RateRequester* requester);
};

}  // namespace quibsum

// The one symbol the library exports.
extern "C" const quibsum::NetworkEntryPoints* quibsumNetworkEntryPoints();
