int fixture_entry_unused;
