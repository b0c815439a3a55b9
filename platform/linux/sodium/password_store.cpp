#include "platform/linux/sodium/password_store.h"

#include <errno.h>
#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string_view>

#include "platform/linux/posix/atomic_file.h"
#include "platform/linux/posix/password_switch.h"

namespace slidesaver::linux_platform {
namespace {

// A file longer than this holds no hash of ours.
constexpr size_t kLongestFile = 4096;
// Verifying runs the hash with the parameters stored in the file; bound them so that a
// tampered file can't make the check take gigabytes or minutes.
constexpr unsigned long long kMostMemoryKiB = 256 * 1024;
constexpr unsigned long long kMostPasses = 16;

void StartSodium() {
  if (sodium_init() < 0) throw std::runtime_error("libsodium could not be initialised");
}

std::string SystemError(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

// "$argon2id$v=19$m=65536,t=2,p=1$salt$hash" (or $argon2i$) with sane parameters.
bool UsableHash(const std::string& hash) {
  if (hash.empty() || hash.size() >= crypto_pwhash_STRBYTES) return false;
  if (hash.find('\0') != std::string::npos) return false;
  if (crypto_pwhash_str_needs_rehash(hash.c_str(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                     crypto_pwhash_MEMLIMIT_INTERACTIVE) < 0)
    return false;
  const size_t params = hash.find("$m=");
  if (params == std::string::npos) return false;
  unsigned long long memory = 0, passes = 0, lanes = 0;
  if (std::sscanf(hash.c_str() + params, "$m=%llu,t=%llu,p=%llu", &memory, &passes, &lanes) != 3)
    return false;
  return memory <= kMostMemoryKiB && passes <= kMostPasses && lanes == 1;
}

// Creates the folder and its missing parents, private to the user.
int MakeFolders(const std::string& folder) {
  for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
    const std::string part = folder.substr(0, slash);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    if (slash == std::string::npos) return 0;
  }
}

// Writes the file, private to the user, all at once.
std::string WritePrivateFileAtomic(const std::string& path, std::string_view bytes) {
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    const std::string folder = path.substr(0, slash);
    if (const int error = MakeFolders(folder)) return SystemError(folder, error);
  }
  return ReplaceFileAtomically(path, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()},
                               AtomicFileMode::kPrivate);
}

}  // namespace

SecretText::SecretText() {
  StartSodium();
  data_ = static_cast<char*>(sodium_malloc(kCapacity + 1));
  if (!data_) throw std::bad_alloc();
  sodium_memzero(data_, kCapacity + 1);
}

SecretText::~SecretText() { sodium_free(data_); }  // sodium_free wipes the memory

bool SecretText::Assign(const char* text, size_t size) {
  Clear();
  if (size > kCapacity) return false;
  std::memcpy(data_, text, size);
  size_ = size;
  return true;
}

void SecretText::Clear() {
  sodium_memzero(data_, kCapacity + 1);
  size_ = 0;
}

bool SecretText::Equals(const SecretText& other) const {
  return size_ == other.size_ && sodium_memcmp(data_, other.data_, size_) == 0;
}

PasswordStore::PasswordStore(std::string path) : path_(std::move(path)) { StartSodium(); }

std::string PasswordStore::DefaultPath() {
  const std::string folder = UserConfigFolder();
  return folder.empty() ? std::string() : folder + "/password";
}

StoredPassword PasswordStore::ReadHash(std::string& hash) const {
  hash.clear();
  if (path_.empty()) return StoredPassword::None;
  const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT ? StoredPassword::None : StoredPassword::Unreadable;
  struct stat info {};
  bool readable = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                  info.st_size <= static_cast<off_t>(kLongestFile);
  char buffer[kLongestFile + 1];
  size_t length = 0;
  while (readable && length <= kLongestFile) {
    const ssize_t got = read(fd, buffer + length, sizeof buffer - length);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) readable = false;
    if (got <= 0) break;
    length += static_cast<size_t>(got);
  }
  close(fd);
  if (!readable || length > kLongestFile) return StoredPassword::Unreadable;
  hash.assign(buffer, length);
  if (hash.ends_with('\n')) hash.pop_back();
  if (hash.ends_with('\r')) hash.pop_back();
  if (!UsableHash(hash)) {
    hash.clear();
    return StoredPassword::Unreadable;
  }
  return StoredPassword::Set;
}

StoredPassword PasswordStore::State() const {
  std::string hash;
  return ReadHash(hash);
}

PasswordCheck PasswordStore::Check(const SecretText& password) const {
  std::string hash;
  switch (ReadHash(hash)) {
    case StoredPassword::None:
      return PasswordCheck::NoPassword;
    case StoredPassword::Unreadable:
      return PasswordCheck::Unreadable;
    case StoredPassword::Set:
      break;
  }
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0
             ? PasswordCheck::Right
             : PasswordCheck::Wrong;
}

std::string PasswordStore::Store(const SecretText& password) {
  if (path_.empty()) return "no home folder to keep the password in";
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(hash, password.data(), password.size(),
                            crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                            crypto_pwhash_ALG_ARGON2ID13) != 0)
    return "not enough memory to hash the password";
  return WritePrivateFileAtomic(path_, std::string(hash) + "\n");
}

}  // namespace slidesaver::linux_platform
