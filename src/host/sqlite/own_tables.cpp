#include "host/sqlite/own_tables.h"

#include "host/sqlite/field_values.h"
#include "host/sqlite/value_codec.h"
#include "platform/text.h"

namespace host::sqlite {

void OwnTables::Clear() {
  session_.reset();
  users_.reset();
  settings_.clear();
  varNames_.reset();
  vars_.clear();
}

// --- Session -----------------------------------------------------------------------------

std::string OwnTables::SessionValue(const std::string& key) {
  if (!Keeping()) {
    Stmt s = db_.Use(readSessionKey_);
    s.BindRef(1, key);
    return s.Step() ? s.Text(0) : std::string();
  }
  if (!session_) {
    session_.emplace();
    Stmt s = db_.Use(readSession_);
    while (s.Step()) session_->insert_or_assign(s.Text(0), s.Text(1));
  }
  const auto it = session_->find(key);
  return it == session_->end() ? std::string() : it->second;
}

void OwnTables::SetSessionValue(const std::string& key, const std::string& value) {
  Write([&] {
    db_.Use(writeSession_).BindRef(1, key).BindRef(2, value).Run();
    if (session_) session_->insert_or_assign(key, value);
  });
}

// --- Users -------------------------------------------------------------------------------

std::vector<std::string> OwnTables::UserNames() {
  if (Keeping() && users_) return *users_;
  std::vector<std::string> names;
  Stmt s = db_.Use(readUsers_);
  while (s.Step()) names.push_back(s.Text(0));
  if (Keeping()) users_ = names;
  return names;
}

void OwnTables::AddUser(const std::string& name) {
  Write([&] {
    db_.Use(writeUser_).BindRef(1, name).Run();
    users_.reset();
  });
}

// --- Settings ----------------------------------------------------------------------------

std::optional<rt::Variant> OwnTables::Setting(const std::string& store, const std::string& key) {
  std::pair<std::string, std::string> id(store, UpperKey(key));
  if (Keeping())
    if (const auto it = settings_.find(id); it != settings_.end()) return it->second;
  std::optional<rt::Variant> value;
  {
    Stmt s = db_.Use(readSetting_);
    s.BindRef(1, id.first).BindRef(2, id.second);
    if (s.Step()) value = DecodeValue(s.Text(0));
  }
  if (Keeping()) {
    if (settings_.size() >= kMaxKept) settings_.clear();
    settings_.emplace(std::move(id), value);
  }
  return value;
}

void OwnTables::SetSetting(const std::string& store, const std::string& key, const rt::Variant& value) {
  const std::string encoded = EncodeValue(value);
  std::pair<std::string, std::string> id(store, UpperKey(key));
  Write([&] {
    db_.Use(writeSetting_).BindRef(1, id.first).BindRef(2, id.second).BindRef(3, key).BindRef(4, encoded).Run();
    settings_.erase(id);
  });
}

// --- Persistent variables ----------------------------------------------------------------

int32_t OwnTables::PersistVarCount() {
  if (Keeping()) {
    PersistVarNameAt(0);  // reads the names
    return static_cast<int32_t>(varNames_->size());
  }
  Stmt s = db_.Use(countVars_);
  return s.Step() ? static_cast<int32_t>(s.Int(0)) : 0;
}

std::optional<std::string> OwnTables::PersistVarNameAt(int32_t index) {
  if (Keeping()) {
    if (!varNames_) {
      varNames_.emplace();
      Stmt s = db_.Use(readVarNames_);
      while (s.Step()) varNames_->push_back(s.Text(0));
    }
    if (index < 0 || static_cast<size_t>(index) >= varNames_->size()) return std::nullopt;
    return (*varNames_)[static_cast<size_t>(index)];
  }
  if (index < 0) return std::nullopt;
  // The next step of a walk starts after the variable reached last, as long
  // as nothing changed the database meanwhile (which only the step's own
  // read tells); anything else counts from the first.
  if (reached_ && reached_->index + 1 == index) {
    Stmt s = db_.Use(readVarAfter_);
    s.Bind(1, reached_->seq);
    const bool found = s.Step();
    if (db_.DataVersion() == reached_->version) {
      if (!found) {
        reached_.reset();
        return std::nullopt;
      }
      reached_ = Reached{index, s.Int(0), s.Text(1), reached_->version};
      return reached_->name;
    }
  }
  Stmt s = db_.Use(readVarAt_);
  s.Bind(1, int64_t{index});
  if (!s.Step()) {
    reached_.reset();
    return std::nullopt;
  }
  reached_ = Reached{index, s.Int(0), s.Text(1), db_.DataVersion()};
  return reached_->name;
}

std::optional<OwnTables::PersistVar> OwnTables::FindPersistVar(const std::string& name) {
  std::string uname = UpperKey(name);
  if (Keeping())
    if (const auto it = vars_.find(uname); it != vars_.end()) return it->second;
  std::optional<PersistVar> var;
  {
    Stmt s = db_.Use(readVar_);
    s.BindRef(1, uname);
    if (s.Step()) var = PersistVar{s.Text(0), DecodeValue(s.Text(1)), s.Int(2) != 0};
  }
  if (Keeping()) {
    if (vars_.size() >= kMaxKept) vars_.clear();
    vars_.emplace(std::move(uname), var);
  }
  return var;
}

void OwnTables::SetPersistVar(const std::string& name, const rt::Variant& value, std::optional<bool> locked) {
  const std::string encoded = EncodeValue(value);
  const std::string uname = UpperKey(name);
  Write([&] {
    {
      Stmt s = db_.Use(writeVar_);
      s.BindRef(1, name).BindRef(2, uname).BindRef(3, encoded);
      if (locked) {
        s.Bind(4, int64_t{*locked ? 1 : 0});
      } else {
        s.BindNull(4);
      }
      s.Run();
    }
    // A variable that was there keeps its place; a new one comes last.
    const auto it = vars_.find(uname);
    if (it == vars_.end() || !it->second) PersistVarsChanged();
    vars_.erase(uname);
  });
}

void OwnTables::RemovePersistVar(const std::string& name) {
  const std::string uname = UpperKey(name);
  Write([&] {
    db_.Use(removeVar_).BindRef(1, uname).Run();
    PersistVarsChanged();
    vars_.erase(uname);
  });
}

void OwnTables::PersistVarsChanged() {
  varNames_.reset();
  reached_.reset();
}

}  // namespace host::sqlite
