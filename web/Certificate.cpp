// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/Certificate.h"

#include <openssl/bio.h>
#include <openssl/ec.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

#include "base/PathText.h"
#include "platform/FileSystem.h"
#include "platform/HostNames.h"

namespace tolvane {

namespace {

template <typename T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, std::integral_constant<decltype(Free), Free>>;
using Key = Owned<EVP_PKEY, EVP_PKEY_free>;
using Certificate = Owned<X509, X509_free>;

Status openSslError(const std::string& what) {
    return Status::ioError(what + ": OpenSSL could not do it");
}

bool isAddress(const std::string& name) {
    ASN1_OCTET_STRING* address = a2i_IPADDRESS(name.c_str());
    ASN1_OCTET_STRING_free(address);
    return address != nullptr;
}

// What write puts into a memory BIO, as text; nullopt when it failed.
std::optional<std::string> pemText(const std::function<bool(BIO*)>& write) {
    Owned<BIO, BIO_free_all> bio(BIO_new(BIO_s_mem()));
    if (!bio || !write(bio.get())) return std::nullopt;
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<size_t>(length));
}

std::string fingerprintOf(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
    std::string text;
    char piece[4];
    for (unsigned int i = 0; i < length; ++i) {
        std::snprintf(piece, sizeof piece, i ? ":%02X" : "%02X", digest[i]);
        text += piece;
    }
    return text;
}

std::vector<std::string> namesOf(X509* certificate) {
    std::vector<std::string> names;
    auto* alternatives = static_cast<GENERAL_NAMES*>(
        X509_get_ext_d2i(certificate, NID_subject_alt_name, nullptr, nullptr));
    for (int i = 0; alternatives && i < sk_GENERAL_NAME_num(alternatives); ++i) {
        const GENERAL_NAME* name = sk_GENERAL_NAME_value(alternatives, i);
        if (name->type == GEN_DNS) {
            names.emplace_back(
                reinterpret_cast<const char*>(ASN1_STRING_get0_data(name->d.dNSName)),
                ASN1_STRING_length(name->d.dNSName));
        } else if (name->type == GEN_IPADD) {
            const std::string text =
                addressText(ASN1_STRING_get0_data(name->d.iPAddress),
                            static_cast<size_t>(ASN1_STRING_length(name->d.iPAddress)));
            if (!text.empty()) names.push_back(text);
        }
    }
    GENERAL_NAMES_free(alternatives);
    return names;
}

Result<WebCertificate> load(const std::string& certificatePath, const std::string& keyPath) {
    FileSystem& fs = *FileSystem::platform();
    auto text = readWholeFile(fs, certificatePath);
    if (!text.isOk()) return text.status().about(certificatePath);
    Owned<BIO, BIO_free_all> bio(
        BIO_new_mem_buf(text.value().data(), static_cast<int>(text.value().size())));
    Certificate certificate(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)
                                : nullptr);
    if (!certificate) return Status::corruption(certificatePath + ": not a PEM certificate");
    if (auto key = readWholeFile(fs, keyPath); !key.isOk()) return key.status().about(keyPath);
    return WebCertificate{certificatePath, keyPath, fingerprintOf(certificate.get()),
                          namesOf(certificate.get())};
}

Status make(const std::string& certificatePath, const std::string& keyPath,
            const std::vector<std::string>& names) {
    Key key(EVP_EC_gen("P-256"));
    if (!key) return openSslError("a key");
    Certificate certificate(X509_new());
    if (!certificate) return openSslError("a certificate");
    X509_set_version(certificate.get(), 2);
    unsigned char serial[16];
    if (RAND_bytes(serial, sizeof serial) != 1) return openSslError("a random serial number");
    serial[0] &= 0x7F;  // positive
    BIGNUM* number = BN_bin2bn(serial, sizeof serial, nullptr);
    BN_to_ASN1_INTEGER(number, X509_get_serialNumber(certificate.get()));
    BN_free(number);
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 10L * 365 * 24 * 3600);
    X509_set_pubkey(certificate.get(), key.get());
    X509_NAME* subject = X509_get_subject_name(certificate.get());
    X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_UTF8,
                               reinterpret_cast<const unsigned char*>("Tolvane"), -1, -1, 0);
    X509_set_issuer_name(certificate.get(), subject);
    std::string alternatives;
    for (const std::string& name : names)
        alternatives += (alternatives.empty() ? "" : ",") +
                        std::string(isAddress(name) ? "IP:" : "DNS:") + name;
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate.get(), certificate.get(), nullptr, nullptr, 0);
    for (const auto& [nid, value] :
         {std::pair{NID_subject_alt_name, alternatives},
          std::pair{NID_basic_constraints, std::string("critical,CA:FALSE")},
          std::pair{NID_ext_key_usage, std::string("serverAuth")}}) {
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
        if (!extension) return openSslError("the certificate's names");
        X509_add_ext(certificate.get(), extension, -1);
        X509_EXTENSION_free(extension);
    }
    if (X509_sign(certificate.get(), key.get(), EVP_sha256()) == 0)
        return openSslError("signing the certificate");
    const auto keyText = pemText([&](BIO* b) {
        return PEM_write_bio_PrivateKey(b, key.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
    });
    const auto certificateText =
        pemText([&](BIO* b) { return PEM_write_bio_X509(b, certificate.get()) == 1; });
    if (!keyText || !certificateText) return openSslError("writing the certificate");
    if (Status s = writePrivateFile(keyPath, *keyText); !s.isOk()) return s;
    return writePrivateFile(certificatePath, *certificateText);
}

}  // namespace

Result<WebCertificate> loadOrMakeCertificate(const std::string& folder,
                                             const std::vector<std::string>& names,
                                             const std::string& certificatePath,
                                             const std::string& keyPath) {
    if (!certificatePath.empty() || !keyPath.empty()) {
        if (certificatePath.empty() || keyPath.empty())
            return Status::invalidArgument("web_certificate and web_key go together");
        return load(certificatePath, keyPath);
    }
    const std::string certificate = joinPath(folder, kWebCertificateFile);
    const std::string key = joinPath(folder, kWebKeyFile);
    FileSystem& fs = *FileSystem::platform();
    if (!fs.exists(certificate) || !fs.exists(key))
        if (Status s = make(certificate, key, names); !s.isOk()) return s;
    return load(certificate, key);
}

Result<WebCertificate> readCertificate(const std::string& folder,
                                       const std::string& certificatePath,
                                       const std::string& keyPath) {
    if (!certificatePath.empty() && !keyPath.empty()) return load(certificatePath, keyPath);
    const std::string certificate = joinPath(folder, kWebCertificateFile);
    const std::string key = joinPath(folder, kWebKeyFile);
    if (!FileSystem::platform()->exists(certificate))
        return Status::notFound(certificate + ": not made yet");
    return load(certificate, key);
}

}  // namespace tolvane
