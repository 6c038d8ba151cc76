#include "QuibSum/cli/DeferredRateRequester.h"

#include <dlfcn.h>

#include <string>

#include "QuibSum/cli/NetworkLibrary.h"
#include "QuibSum/common/ProgramFiles.h"
#include "QuibSumRates/RateProviderError.h"

namespace quibsum {

namespace {

// The library stays loaded until the process ends: its requesters and their threads may
// outlive any one owner.
const NetworkEntryPoints* loadNetworkLibrary() {
    const std::filesystem::path path = ProgramFiles::privateFile(ProgramFiles::networkLibraryName);
    if (path.empty())
        throw RateTransportError("cannot find " + std::string(ProgramFiles::networkLibraryName) +
                                 " beside the program");
    void* library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) throw RateTransportError("cannot load " + path.string() + ": " + ::dlerror());
    auto* entry = reinterpret_cast<decltype(&quibsumNetworkEntryPoints)>(::dlsym(library, "quibsumNetworkEntryPoints"));
    if (!entry) throw RateTransportError("cannot use " + path.string() + ": " + ::dlerror());
    return entry();
}

}  // namespace

DeferredRateRequester::~DeferredRateRequester() { delete requester_; }

RateRequester& DeferredRateRequester::requester() {
    std::lock_guard lock(mutex_);
    if (!requester_) {
        if (!entryPoints_) entryPoints_ = loadNetworkLibrary();
        requester_ = entryPoints_->newRequester();
        // A cancel that came while the library loaded must reach the new requester.
        if (cancelled_.load(std::memory_order_relaxed)) entryPoints_->cancel(requester_);
    }
    return *requester_;
}

RateResponse DeferredRateRequester::get(const RateRequest& request) {
    if (cancelled_.load(std::memory_order_relaxed)) throw RateTransportError("cancelled");
    return requester().get(request);
}

void DeferredRateRequester::cancel() {
    std::lock_guard lock(mutex_);
    cancelled_.store(true, std::memory_order_relaxed);
    if (requester_) entryPoints_->cancel(requester_);
}

}  // namespace quibsum
