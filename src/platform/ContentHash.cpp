#include "platform/ContentHash.h"

#include <openssl/evp.h>

namespace platform {

struct ContentHash::State {
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    ~State() { EVP_MD_CTX_free(context); }
};

ContentHash::ContentHash() : m_state(std::make_unique<State>())
{
    EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr);
}

ContentHash::~ContentHash() = default;

void ContentHash::add(const char *data, qsizetype size)
{
    EVP_DigestUpdate(m_state->context, data, size_t(size));
}

QByteArray ContentHash::hex()
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_state->context, digest, &length);
    EVP_DigestInit_ex(m_state->context, EVP_sha256(), nullptr);
    return QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex();
}

} // namespace platform
