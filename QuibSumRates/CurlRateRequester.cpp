#include "QuibSumRates/CurlRateRequester.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>
#include <string_view>

#include "QuibSumRates/RateProviderError.h"

namespace quibsum {
namespace {

struct Transfer {
    std::string body;
    std::size_t maxBodyBytes = 0;
    bool tooLarge = false;
    const std::atomic<bool>* cancelled = nullptr;
};

std::size_t receive(char* data, std::size_t size, std::size_t count, void* context) {
    auto* transfer = static_cast<Transfer*>(context);
    const std::size_t n = size * count;
    if (n > transfer->maxBodyBytes - transfer->body.size()) {
        transfer->tooLarge = true;
        return 0;  // makes curl stop with CURLE_WRITE_ERROR
    }
    transfer->body.append(data, n);
    return n;
}

int progress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* transfer = static_cast<const Transfer*>(context);
    return transfer->cancelled->load(std::memory_order_relaxed) ? 1 : 0;
}

struct CurlHandleDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct CurlListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

}  // namespace

CurlRateRequester::CurlRateRequester() {
    // curl_global_init is not safe to race with itself or with other curl calls.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

RateResponse CurlRateRequester::get(const RateRequest& request) {
    if (cancelled_.load(std::memory_order_relaxed)) throw RateTransportError("cancelled");

    std::unique_ptr<CURL, CurlHandleDeleter> handle(curl_easy_init());
    if (!handle) throw RateTransportError("cannot create a curl handle");
    CURL* h = handle.get();

    Transfer transfer;
    transfer.maxBodyBytes = request.maxBodyBytes;
    transfer.cancelled = &cancelled_;

    std::unique_ptr<curl_slist, CurlListDeleter> headers(curl_slist_append(nullptr, "Cache-Control: no-cache"));
    char errorText[CURL_ERROR_SIZE] = {};

    const bool secure = std::string_view(request.url).starts_with("https://");
    curl_easy_setopt(h, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    // Never let a redirect downgrade an HTTPS request to plain HTTP.
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, secure ? "https" : "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout.count()));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(h, CURLOPT_USERAGENT, "QuibSum");
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxBodyBytes));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);

    const CURLcode code = curl_easy_perform(h);
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);

    if (code == CURLE_FILESIZE_EXCEEDED || (code == CURLE_WRITE_ERROR && transfer.tooLarge))
        return RateResponse{static_cast<int>(status), {}, true};
    if (code != CURLE_OK) {
        std::string reason = errorText[0] != '\0' ? errorText : curl_easy_strerror(code);
        throw RateTransportError(reason);
    }
    return RateResponse{static_cast<int>(status), std::move(transfer.body), false};
}

}  // namespace quibsum
