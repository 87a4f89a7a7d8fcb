// The class factory: the creatable classes by name.
#include <memory>

#include "core/ckt.h"
#include "core/class_factory.h"
#include "core/mod_global_defs.h"
#include "core/records.h"
#include "core_fixture.h"
#include "platform/error.h"
#include "platform/object.h"

namespace {

class CoreFactory : public coretest::CoreTest {};

int32_t CreateError(std::string_view name) {
  return coretest::ErrorOf([&] { kelpaktor2::CreateInstance(name); });
}

TEST_F(CoreFactory, CreatesThePublicClassesWithOrWithoutPrefix) {
  auto ckt = std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("kelPaktor2.CKT"));
  ASSERT_NE(ckt, nullptr);
  EXPECT_EQ(ckt->DLLVersion(), modGlobalDefs::GetVersionString());
  EXPECT_NE(std::dynamic_pointer_cast<CKT>(kelpaktor2::CreateInstance("ckt")), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<kt_CContractD>(kelpaktor2::CreateInstance("KELPAKTOR2.kt_CContractD")),
            nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<kt_CArticle>(kelpaktor2::CreateInstance("kt_CArticle")), nullptr);

  // The runtime's registry knows them from the moment the library is loaded.
  auto article = rt::CastObject<kt_CArticle>(rt::Variant(rt::CreateObject("kelPaktor2.kt_CArticle")));
  EXPECT_EQ(article->lPreisDauer, 0);
}

TEST_F(CoreFactory, UnknownOrPrivateClassesRaise429) {
  for (const char* name : {"kelPaktor2.kt_CDefinition", "kt_CPosition", "Andere.CKT", "kelPaktor2.", ""})
    EXPECT_EQ(CreateError(name), 429) << name;
}

TEST_F(CoreFactory, CKTNeedsTheHostErrorTexts) {
  rt::UnregisterClass(host::kErrorTextsClass);
  EXPECT_EQ(CreateError("kelPaktor2.CKT"), 429);
  host::sqlite::RegisterErrorTexts();
  EXPECT_EQ(CreateError("kelPaktor2.CKT"), 0);
}

}  // namespace
