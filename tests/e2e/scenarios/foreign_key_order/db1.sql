CREATE TABLE authors (
  author_id   NUMBER(6)  CONSTRAINT authors_pk PRIMARY KEY,
  best_book   NUMBER(8)
);

CREATE TABLE books (
  book_id    NUMBER(8)  CONSTRAINT books_pk PRIMARY KEY,
  author_id  NUMBER(6)  CONSTRAINT books_author_fk REFERENCES authors (author_id),
  sequel_of  NUMBER(8)  CONSTRAINT books_sequel_fk REFERENCES books (book_id),
  shelf_id   NUMBER(4)
);

CREATE TABLE shelves (
  shelf_id   NUMBER(4)  CONSTRAINT shelves_pk PRIMARY KEY,
  first_book NUMBER(8)
);

ALTER TABLE authors ADD CONSTRAINT authors_best_book_fk FOREIGN KEY (best_book)
  REFERENCES books (book_id);
ALTER TABLE books ADD CONSTRAINT books_shelf_fk FOREIGN KEY (shelf_id)
  REFERENCES shelves (shelf_id);
ALTER TABLE shelves ADD CONSTRAINT shelves_first_book_fk FOREIGN KEY (first_book)
  REFERENCES books (book_id);
