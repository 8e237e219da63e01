// Reading the wizard's information file: the profile-value port, an in-memory profile that
// parses ini text the way the system's profile functions do, and the accessor that applies the
// file's value syntax (fields, numbered keys, length limits) on top of the port.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace setup_wizard {

// Ordering of names without regard to case (ASCII and Latin-1 letters): <0, 0 or >0.
int CompareNoCase(std::wstring_view a, std::wstring_view b);

// Port: the values of one profile file. Sections and keys are matched without regard to case.
class ProfileSource {
 public:
  virtual ~ProfileSource() = default;
  // The value of `key` in `section`, one pair of enclosing quotes removed; `def` when absent.
  virtual std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                                  std::wstring_view def) const = 0;
  // The value converted to an integer; `def` when absent or empty.
  virtual int ReadInt(std::wstring_view section, std::wstring_view key, int def) const = 0;
  // Every key name of `section` in file order, as a read with a null key lists them.
  virtual std::vector<std::wstring> ReadKeyNames(std::wstring_view section) const = 0;
};

// A profile parsed from text, with the system's rules for lines, blanks, comments, repeated
// sections and quotes. Native tests feed it ini text; the Windows tests compare it with the API.
class IniTextProfile final : public ProfileSource {
 public:
  explicit IniTextProfile(std::wstring_view text);

  // File bytes as text: a UTF-8 or UTF-16 byte-order mark selects that encoding; other files
  // are taken byte for byte (exact for the 7-bit files the package ships; the Windows layer
  // decodes unmarked files in the ANSI code page instead, as the profile functions do).
  static std::wstring DecodeBytes(std::string_view bytes);
  static bool HasByteOrderMark(std::string_view bytes);

  std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                          std::wstring_view def) const override;
  int ReadInt(std::wstring_view section, std::wstring_view key, int def) const override;
  std::vector<std::wstring> ReadKeyNames(std::wstring_view section) const override;

 private:
  struct Key {
    std::wstring name;
    std::wstring value;
    bool hasValue = false;  // the line had an '='
  };
  struct Section {
    std::wstring name;
    std::vector<Key> keys;
  };
  const Key* Find(std::wstring_view section, std::wstring_view key) const;

  std::vector<Section> sections_;
};

// The file accessor: every string value of the information file is read through it.
class ProfileReader {
 public:
  static constexpr size_t kValueChars = 4096;  // a value of kValueChars - 1 or more reads as empty
  static constexpr size_t kFieldChars = 255;   // longest field
  static constexpr size_t kNameChars = 127;    // longest section name or key name

  explicit ProfileReader(std::unique_ptr<ProfileSource> source);

  // The whole value; empty when absent, too long, or when the section or key name is empty or
  // longer than kNameChars.
  std::wstring Value(std::wstring_view section, std::wstring_view key) const;
  // Field n (1-based; 0 means 1) of a value.
  std::wstring ValueField(std::wstring_view section, std::wstring_view key, int n = 1) const;
  // The key `base` followed by the decimal number n ("Name" 3 -> "Name3").
  static std::wstring NumberedKey(std::wstring_view base, int n);
  int IntValue(std::wstring_view section, std::wstring_view key, int def) const;
  std::vector<std::wstring> KeyNames(std::wstring_view section) const;

  // Value syntax, usable on any text.
  static int FieldCount(std::wstring_view value);
  // Field n: blanks and one enclosing quote or apostrophe removed at each end; empty when the
  // field is longer than kFieldChars rather than a cut-off name.
  static std::wstring Field(std::wstring_view value, int n);
  // False when field n is refused for its length (an empty field fits).
  static bool FieldFits(std::wstring_view value, int n);
  // Base-10 value of a field's leading digits (optional sign); 0 when there are none.
  static long long NumericField(std::wstring_view field);

 private:
  static std::wstring_view FieldView(std::wstring_view value, int n);

  std::unique_ptr<ProfileSource> source_;
};

}  // namespace setup_wizard
