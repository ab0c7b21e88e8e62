// Placeholder: implemented in its own change.
