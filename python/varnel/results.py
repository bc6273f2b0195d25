"""Results that are JSON documents of the command line, read as Python objects: members are
attributes in snake case (``result.two_parameter.log_likelihood`` for "twoParameter" and
"logLikelihood") and items under their JSON names; ``to_dict()`` is the document itself."""
import copy
import json
import re
from collections.abc import Mapping


def _json_name(attribute):
    return re.sub(r"_([a-z0-9])", lambda match: match.group(1).upper(), attribute)


def _python_name(key):
    return re.sub(r"([A-Z])", lambda match: "_" + match.group(1).lower(), key)


def _view(value):
    if isinstance(value, dict):
        return JsonView(value)
    if isinstance(value, list):
        return [_view(item) for item in value]
    return value


class JsonView(Mapping):
    """A read-only view of one JSON object."""

    __slots__ = ("_members",)

    def __init__(self, members):
        self._members = members

    def _document(self):
        return self._members

    def __getattr__(self, name):
        if name.startswith("_"):
            raise AttributeError(name)
        try:
            return _view(self._document()[_json_name(name)])
        except KeyError:
            raise AttributeError(name) from None

    def __getitem__(self, key):
        return _view(self._document()[key])

    def __iter__(self):
        return iter(self._document())

    def __len__(self):
        return len(self._document())

    def __dir__(self):
        return sorted(set(super().__dir__()) | {_python_name(key) for key in self._document()})

    def __repr__(self):
        return f"{type(self).__name__}({self._document()!r})"

    def to_dict(self):
        """The JSON object as plain dicts and lists, a copy the caller may change."""
        return copy.deepcopy(self._document())


class JsonDocument(JsonView):
    """A view of a whole JSON document, read from its text when first used: a caller that runs
    thousands of analyses and keeps a few numbers of each pays for reading only what it uses."""

    __slots__ = ("_text",)

    def __init__(self, text):
        super().__init__(None)
        self._text = text

    def _document(self):
        if self._members is None:
            self._members = json.loads(self._text)
        return self._members
