// Puts a certificate authority into the Windows Root store, or takes it out again, so that
// WinINet trusts a test server's certificate: add-root-cert [--user] [--remove] FILE.
// FILE holds one certificate, PEM ("-----BEGIN CERTIFICATE-----") or DER. The store is the
// machine's ROOT store; --user picks the current user's (which on Windows asks the user first).
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum exit_code { done = 0, usage = 1, unreadable = 2, not_a_certificate = 3, no_store = 4, store_failed = 5 };

int fail(int code, const char* what, const wchar_t* about = nullptr) {
  std::fprintf(stderr, "add-root-cert: %s() failed with %lu%s%ls\n", what, GetLastError(), about ? ", " : "",
               about ? about : L"");
  return code;
}

bool read_file(const wchar_t* path, std::string& bytes) {
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(h, &size) && size.QuadPart < (1 << 20);
  if (ok) {
    bytes.assign(size_t(size.QuadPart), '\0');
    DWORD got = 0;
    ok = ReadFile(h, &bytes[0], DWORD(bytes.size()), &got, nullptr) && got == bytes.size();
  }
  CloseHandle(h);
  return ok;
}

// The DER bytes: decoded from the first PEM block, or the file as it stands.
std::vector<BYTE> der_of(const std::string& file) {
  if (file.find("-----BEGIN") == std::string::npos) return std::vector<BYTE>(file.begin(), file.end());
  DWORD size = 0;
  if (!CryptStringToBinaryA(file.c_str(), DWORD(file.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr,
                            nullptr))
    return {};
  std::vector<BYTE> der(size);
  if (!CryptStringToBinaryA(file.c_str(), DWORD(file.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr,
                            nullptr))
    return {};
  der.resize(size);
  return der;
}

std::wstring subject_of(PCCERT_CONTEXT cert) {
  wchar_t name[512] = L"";
  CertGetNameStringW(cert, CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name, ARRAYSIZE(name));
  return name;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  bool user = false, remove = false;
  const wchar_t* path = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!wcscmp(argv[i], L"--user")) user = true;
    else if (!wcscmp(argv[i], L"--remove")) remove = true;
    else if (!path && argv[i][0] != L'-') path = argv[i];
    else path = nullptr, i = argc;
  }
  if (!path) {
    std::fprintf(stderr, "usage: add-root-cert [--user] [--remove] CERTIFICATE-FILE (PEM or DER)\n");
    return usage;
  }
  std::string file;
  if (!read_file(path, file)) return fail(unreadable, "ReadFile", path);
  const std::vector<BYTE> der = der_of(file);
  PCCERT_CONTEXT cert =
      der.empty() ? nullptr : CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), DWORD(der.size()));
  if (!cert) return fail(not_a_certificate, "CertCreateCertificateContext", path);
  const std::wstring subject = subject_of(cert);

  HCERTSTORE store = user ? CertOpenSystemStoreW(0, L"ROOT")
                          : CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"ROOT");
  if (!store) {
    CertFreeCertificateContext(cert);
    return fail(no_store, user ? "CertOpenSystemStore" : "CertOpenStore", L"ROOT");
  }
  int rc = done;
  const char* outcome = remove ? "removed" : "added";
  if (!remove) {
    if (!CertAddCertificateContextToStore(store, cert, CERT_STORE_ADD_REPLACE_EXISTING, nullptr))
      rc = fail(store_failed, "CertAddCertificateContextToStore", subject.c_str());
  } else {
    PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, cert, nullptr);
    // Deleting frees `found`, whether it succeeds or not.
    if (!found) outcome = "absent";
    else if (!CertDeleteCertificateFromStore(found))
      rc = fail(store_failed, "CertDeleteCertificateFromStore", subject.c_str());
  }
  // Written through now: closing a system store need not write it when a context still holds it.
  if (rc == done && !CertControlStore(store, 0, CERT_STORE_CTRL_COMMIT, nullptr))
    rc = fail(store_failed, "CertControlStore", subject.c_str());
  if (rc == done) std::printf("%s %ls\n", outcome, subject.c_str());
  CertFreeCertificateContext(cert);
  CertCloseStore(store, 0);
  return rc;
}
