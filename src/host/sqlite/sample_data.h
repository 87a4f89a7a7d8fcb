// The sample data of `kelhost init --sample`: one tenant, three users,
// addresses, articles in two groups, address attributes, workflows and the
// two persistent-variable lists. The session gets its current tenant, user
// and address.
#pragma once

namespace host::sqlite {

class Core;
// Writes the sample data; the caller holds the transaction.
void LoadSample(Core& core);

}  // namespace host::sqlite
