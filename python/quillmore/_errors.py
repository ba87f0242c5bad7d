"""The exceptions and the warning category of quillmore."""


class DataError(OSError):
    """Missing or unusable data: no data folder, an unreadable index, dose-rate
    or times file, a corrupt record. ``args[0]`` is quillmore-batch's message."""


class UnknownNameError(KeyError, ValueError):
    """An unknown nuclide, age group or region. ``args[0]`` is quillmore-batch's
    message, with its suggestions."""

    def __str__(self):
        # KeyError would show the message quoted, as if it were a key.
        return str(self.args[0]) if self.args else ""


class QuillmoreWarning(UserWarning):
    """Something asked for is missing or suspect (quillmore-batch's warnings)."""
