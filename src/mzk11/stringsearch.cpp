// Placeholder until the matcher lands.
