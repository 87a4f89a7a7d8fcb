#include "platform/error.h"

#include <new>

namespace rt {

namespace {

std::string Compose(int32_t number, const std::string& source, const std::string& description) {
  std::string s = "Fehler &H";
  s += Hex(number);
  s += " in ";
  s += source;
  s += ": ";
  s += description;
  return s;
}

}  // namespace

Error::Error(int32_t number, std::string source, std::string description)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      what_(Compose(number_, source_, description_)) {}

std::string DescriptionOf(int32_t number) {
  switch (number) {
    case errc::InvalidCall:
      return "Unzulässiger Prozeduraufruf oder ungültiges Argument";
    case errc::Overflow:
      return "Überlauf";
    case errc::OutOfMemory:
      return "Nicht genügend Speicher";
    case errc::SubscriptRange:
      return "Index außerhalb des gültigen Bereichs";
    case errc::DivByZero:
      return "Division durch Null";
    case errc::TypeMismatch:
      return "Typen unverträglich";
    case errc::ObjectNotSet:
      return "Objektvariable oder With-Blockvariable nicht festgelegt";
    case errc::InvalidNull:
      return "Unzulässige Verwendung von Null";
    case errc::InvalidPropValue:
      return "Unzulässiger Eigenschaftswert";
    case errc::ObjectRequired:
      return "Objekt erforderlich";
    case errc::CannotCreateObject:
      return "Objekterstellung durch ActiveX-Komponente nicht möglich";
    case errc::NoSuchMember:
      return "Objekt unterstützt diese Eigenschaft oder Methode nicht";
    case errc::DupKey:
      return "Dieser Schlüssel ist bereits einem Element dieser Auflistung zugeordnet";
    default:
      return "Anwendungs- oder objektdefinierter Fehler";
  }
}

void Raise(int32_t number, std::string source, std::string description) {
  if (source.empty()) source = std::string(kLibraryName);
  if (description.empty()) description = DescriptionOf(number);
  throw Error(number, std::move(source), std::move(description));
}

void RaiseRuntime(int32_t number) { throw Error(number, std::string(kLibraryName), DescriptionOf(number)); }

void Reraise(const Error& e, std::string newSource) {
  throw Error(e.number(), std::move(newSource), e.description());
}

std::string Hex(int32_t number) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  uint32_t u = static_cast<uint32_t>(number);
  if (u == 0) return "0";
  std::string s;
  while (u != 0) {
    s.insert(s.begin(), kDigits[u & 0xF]);
    u >>= 4;
  }
  return s;
}

Error CurrentError() {
  try {
    throw;
  } catch (const Error& e) {
    return e;
  } catch (const Unrecoverable&) {
    throw;
  } catch (const std::bad_alloc&) {
    return Error(errc::OutOfMemory, std::string(kLibraryName), DescriptionOf(errc::OutOfMemory));
  } catch (const std::exception& e) {
    return Error(errc::InvalidCall, std::string(kLibraryName), e.what());
  } catch (...) {
    return Error(errc::InvalidCall, std::string(kLibraryName), DescriptionOf(errc::InvalidCall));
  }
}

}  // namespace rt
