#pragma once
// The screen-saver password, kept as an Argon2id hash in the user's config folder.
#include <cstddef>
#include <string>

namespace slidesaver::linux_platform {

// A password as typed, held in guarded memory that is wiped when it is freed or replaced.
// Plain passwords live only in these buffers, never in std::string.
class SecretText {
 public:
  static constexpr size_t kCapacity = 1024;  // bytes of UTF-8 text

  SecretText();  // throws std::bad_alloc when no guarded memory can be had
  ~SecretText();
  SecretText(const SecretText&) = delete;
  SecretText& operator=(const SecretText&) = delete;

  // Replaces the content; false (and empty) when the text is longer than kCapacity.
  bool Assign(const char* text, size_t size);
  void Clear();
  const char* data() const { return data_; }
  size_t size() const { return size_; }
  bool Equals(const SecretText& other) const;

 private:
  char* data_;
  size_t size_ = 0;
};

enum class StoredPassword { None, Set, Unreadable };
enum class PasswordCheck { Right, Wrong, NoPassword, Unreadable };

class PasswordStore {
 public:
  explicit PasswordStore(std::string path);
  // UserConfigFolder()/password; empty when there is no home folder.
  static std::string DefaultPath();

  const std::string& Path() const { return path_; }
  // None when the file doesn't exist; Unreadable when it exists but holds no usable hash.
  StoredPassword State() const;
  PasswordCheck Check(const SecretText& password) const;
  // Hashes the password and replaces the stored hash atomically (mode 0600). Empty on
  // success, otherwise what went wrong; the previous file is then untouched.
  std::string Store(const SecretText& password);

 private:
  // The stored hash string, or empty with the state when there is none to use.
  StoredPassword ReadHash(std::string& hash) const;

  std::string path_;
};

}  // namespace slidesaver::linux_platform
